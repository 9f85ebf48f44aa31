// The browser's print device: it carries out the page operations that the core recorded (in printer dots from the
// top-left of the printable area) as pdf-lib drawing calls or as SVG. Every position comes from the core; this file
// only turns ellipses into curves and places each font's glyphs on the baseline the core gave.
'use strict';

(function (global) {
    // Four cubic curves make an ellipse to within a few millionths of its radius.
    const Kappa = (4 / 3) * Math.tan(Math.PI / 8);

    // A path as segments: ['M', x, y], ['L', x, y], ['C', x1, y1, x2, y2, x, y], ['Z'].
    function ellipseArc(segments, cx, cy, rx, ry, from, to, moveFirst) {
        const parts = Math.max(1, Math.ceil((to - from) / (Math.PI / 2) - 1e-9));
        const step = (to - from) / parts;
        const handle = (4 / 3) * Math.tan(step / 4);
        // The sweep counts with y up; the page's y grows downwards.
        const point = (t) => [cx + rx * Math.cos(t), cy - ry * Math.sin(t)];
        const start = point(from);
        segments.push([moveFirst ? 'M' : 'L', start[0], start[1]]);
        for (let i = 0; i < parts; i++) {
            const a = from + i * step;
            const b = a + step;
            const p0 = point(a);
            const p3 = point(b);
            const c1 = [p0[0] - handle * rx * Math.sin(a), p0[1] - handle * ry * Math.cos(a)];
            const c2 = [p3[0] + handle * rx * Math.sin(b), p3[1] + handle * ry * Math.cos(b)];
            segments.push(['C', c1[0], c1[1], c2[0], c2[1], p3[0], p3[1]]);
        }
    }

    function boxPath(op) {
        const [x, y, w, h] = op.rect;
        const segments = [];
        if (op.shape === 'ellipse') {
            if (w <= 0 || h <= 0) {
                segments.push(['M', x, y], ['L', x + w, y + h]);
            } else {
                ellipseArc(segments, x + w / 2, y + h / 2, w / 2, h / 2, 0, 2 * Math.PI, true);
                segments.push(['Z']);
            }
        } else if (op.shape === 'rounded' && op.corner[0] > 0 && op.corner[1] > 0) {
            const rx = Math.min(op.corner[0], w / 2);
            const ry = Math.min(op.corner[1], h / 2);
            ellipseArc(segments, x + w - rx, y + ry, rx, ry, 0, Math.PI / 2, true);
            ellipseArc(segments, x + rx, y + ry, rx, ry, Math.PI / 2, Math.PI, false);
            ellipseArc(segments, x + rx, y + h - ry, rx, ry, Math.PI, 1.5 * Math.PI, false);
            ellipseArc(segments, x + w - rx, y + h - ry, rx, ry, 1.5 * Math.PI, 2 * Math.PI, false);
            segments.push(['Z']);
        } else {
            segments.push(['M', x, y], ['L', x + w, y], ['L', x + w, y + h], ['L', x, y + h], ['Z']);
        }
        return segments;
    }

    function pathOf(op) {
        if (op.op === 'line') {
            const segments = [['M', op.points[0], op.points[1]]];
            for (let i = 2; i < op.points.length; i += 2) {
                segments.push(['L', op.points[i], op.points[i + 1]]);
            }
            return segments;
        }
        if (op.op === 'box') {
            return boxPath(op);
        }
        const segments = [];
        const [cx, cy] = op.centre;
        if (op.pie) {
            segments.push(['M', cx, cy]);
        }
        ellipseArc(segments, cx, cy, op.radii[0], op.radii[1], op.sweep[0], op.sweep[1], !op.pie);
        if (op.pie) {
            segments.push(['Z']);
        }
        return segments;
    }

    const rgbText = (c) => `rgb(${c[0]},${c[1]},${c[2]})`;
    const round = (v) => Math.round(v * 1000) / 1000;

    // Text widths for the opaque cell behind a text, from the font file the text is set in.
    function textAdvance(fontFile, text, size) {
        const run = fontFile.layout(text, NoSubstitution);
        let units = 0;
        for (const glyph of run.glyphs) {
            units += glyph.advanceWidth;
        }
        return (units * size) / fontFile.unitsPerEm;
    }

    // The printer's glyphs one for one: no ligatures or other substitutions.
    const NoSubstitution = { liga: false, clig: false, calt: false, rlig: false, dlig: false };

    // Liberation Sans stands in for Arial, as on the Linux tool's pages; there is no bold italic among the printouts.
    function fontFileName(font) {
        return font.bold ? 'bold' : font.italic ? 'italic' : 'regular';
    }

    function fontFileFor(fonts, font) {
        return fonts[fontFileName(font)];
    }

    // recorded: {page, fonts, operations, sheets} from the core, one PDF page a sheet; fonts: {regular, italic} as
    // fontkit fonts and their bytes.
    async function toPdf(PDFLib, fontkit, fonts, recorded) {
        const L = PDFLib;
        const doc = await L.PDFDocument.create();
        doc.registerFontkit(fontkit);
        doc.setTitle(recorded.title || 'Quillmere');
        doc.setCreator('Quillmere');
        doc.setProducer('Quillmere (browser)');
        const { page } = recorded;
        const k = 72 / page.dpi;
        const embedded = new Map();
        const sheets = recorded.sheets && recorded.sheets.length ? recorded.sheets : [recorded.operations];
        for (const operations of sheets) {
            await addSheet(L, doc, doc.addPage([page.size[0] * k, page.size[1] * k]), k, fonts, recorded, operations,
                embedded);
        }
        return doc.save();
    }

    async function embedFont(doc, fonts, file) {
        const pdfFont = await doc.embedFont(fonts[file + 'Bytes'], { subset: true, features: NoSubstitution });
        // A viewer advances each glyph by the font's width table. The Linux tool's PDFs hold each width in whole
        // thousandths of an em, cut rather than rounded; the same table here puts every glyph of a line where the
        // Linux tool puts it, instead of up to a few dots further along.
        const widths = pdfFont.embedder.computeWidths;
        pdfFont.embedder.computeWidths = function () {
            return widths.call(this).map((entry) => (Array.isArray(entry) ? entry.map(Math.trunc) : entry));
        };
        return pdfFont;
    }

    // One sheet's operations on its PDF page; `embedded` holds the fonts the pages share.
    async function addSheet(L, doc, pdfPage, k, fonts, recorded, operations, embedded) {
        const { page } = recorded;
        const keys = new Map();
        const fontKey = async (font) => {
            const file = fontFileName(font);
            if (!embedded.has(file)) {
                embedded.set(file, await embedFont(doc, fonts, file));
            }
            const pdfFont = embedded.get(file);
            if (!keys.has(file)) keys.set(file, pdfPage.node.newFontDictionary(pdfFont.name, pdfFont.ref));
            return { pdfFont, key: keys.get(file) };
        };
        const ops = [];
        const colour = (setter, c) => setter(c[0] / 255, c[1] / 255, c[2] / 255);
        const addPath = (segments) => {
            for (const s of segments) {
                if (s[0] === 'M') ops.push(L.moveTo(s[1], s[2]));
                else if (s[0] === 'L') ops.push(L.lineTo(s[1], s[2]));
                else if (s[0] === 'C') ops.push(L.appendBezierCurve(s[1], s[2], s[3], s[4], s[5], s[6]));
                else ops.push(L.closePath());
            }
        };
        // Dots from the printable area's top-left, y down, clipped to the printable area as a printer does.
        ops.push(L.pushGraphicsState());
        ops.push(L.concatTransformationMatrix(k, 0, 0, -k, page.margin * k, (page.size[1] - page.margin) * k));
        ops.push(L.rectangle(0, 0, page.printable[0], page.printable[1]), L.clip(), L.endPath());
        ops.push(L.setLineCap(L.LineCapStyle.Round), L.setLineJoin(L.LineJoinStyle.Round));
        for (const op of operations) {
            if (op.op === 'text') {
                const font = recorded.fonts[op.font];
                const { pdfFont, key } = await fontKey(font);
                const [cx, cy, cw, ch] = op.clip;
                if (cw <= 0 || ch <= 0) continue;
                ops.push(L.pushGraphicsState(), L.rectangle(cx, cy, cw, ch), L.clip(), L.endPath());
                if (op.opaque) {
                    const advance = textAdvance(fontFileFor(fonts, font), op.text, font.size);
                    ops.push(colour(L.setFillingRgbColor, op.background));
                    ops.push(L.rectangle(op.at[0], op.at[1], advance, font.ascent + font.descent), L.fill());
                }
                ops.push(colour(L.setFillingRgbColor, op.colour));
                ops.push(L.beginText(), L.setFontAndSize(key, font.size));
                ops.push(L.setTextMatrix(1, 0, 0, -1, op.at[0], op.baseline));
                ops.push(L.showText(pdfFont.encodeText(op.text)), L.endText());
                ops.push(L.popGraphicsState());
                continue;
            }
            addPath(pathOf(op));
            ops.push(L.setLineWidth(op.width), colour(L.setStrokingRgbColor, op.colour));
            if (op.fill) {
                ops.push(colour(L.setFillingRgbColor, op.fill.colour), L.fillAndStroke());
            } else {
                ops.push(L.stroke());
            }
        }
        ops.push(L.popGraphicsState());
        pdfPage.pushOperators(...ops);
    }

    function escapeXml(text) {
        return text.replace(/[<>&"]/g, (c) => ({ '<': '&lt;', '>': '&gt;', '&': '&amp;', '"': '&quot;' })[c]);
    }

    function svgPath(segments) {
        return segments
            .map((s) => (s[0] === 'Z' ? 'Z' : s[0] + s.slice(1).map(round).join(' ')))
            .join('');
    }

    // The same operations as SVG markup in dots, for the preview: one image described by `label`, its parts hidden
    // from screen readers, its definitions named after `idPrefix` so that two drawings on one page never share one.
    function toSvg(fonts, recorded, label, idPrefix = 'page') {
        const { page } = recorded;
        const clipId = `${idPrefix}-printable`;
        const out = [];
        out.push(
            `<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 ${round(page.size[0])} ${round(page.size[1])}"` +
                ` role="img" aria-label="${escapeXml(label)}">`,
        );
        out.push(`<g aria-hidden="true"><rect width="100%" height="100%" fill="#fff"/>`);
        out.push(`<defs><clipPath id="${clipId}"><rect width="${page.printable[0]}" height="${page.printable[1]}"/>` +
            `</clipPath></defs>`);
        out.push(`<g transform="translate(${page.margin} ${page.margin})" clip-path="url(#${clipId})">`);
        for (const op of recorded.operations) {
            if (op.op === 'text') {
                const font = recorded.fonts[op.font];
                const [cx, cy, cw, ch] = op.clip;
                if (cw <= 0 || ch <= 0) continue;
                out.push(`<svg x="${cx}" y="${cy}" width="${cw}" height="${ch}" overflow="hidden">`);
                if (op.opaque) {
                    const advance = textAdvance(fontFileFor(fonts, font), op.text, font.size);
                    out.push(`<rect x="${op.at[0] - cx}" y="${op.at[1] - cy}" width="${round(advance)}"` +
                        ` height="${round(font.ascent + font.descent)}" fill="${rgbText(op.background)}"/>`);
                }
                out.push(`<text x="${op.at[0] - cx}" y="${round(op.baseline - cy)}" font-size="${round(font.size)}"` +
                    ` font-family="Quillmere Sans, Liberation Sans, Arial, sans-serif"` +
                    `${font.italic ? ' font-style="italic"' : ''}${font.bold ? ' font-weight="bold"' : ''} fill="${rgbText(op.colour)}"` +
                    ` xml:space="preserve">${escapeXml(op.text)}</text></svg>`);
                continue;
            }
            const fill = op.fill ? rgbText(op.fill.colour) : 'none';
            out.push(`<path d="${svgPath(pathOf(op))}" fill="${fill}" stroke="${rgbText(op.colour)}"` +
                ` stroke-width="${op.width}" stroke-linecap="round" stroke-linejoin="round"/>`);
        }
        out.push('</g></g></svg>');
        return out.join('');
    }

    // The analysis chart laid out for the screen by the core ({panels} of positions in CSS pixels and texts) as one
    // SVG per panel; the curves take their colour and dashes from the page's style by each arm's key.
    function chartPanelSvg(panel, textPx, label) {
        const [left, top, width, height] = panel.plot;
        const out = [`<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 ${round(panel.width)} ${round(panel.height)}"` +
            ` role="img" aria-label="${escapeXml(label)}"><g aria-hidden="true" font-size="${textPx}">`];
        out.push(`<rect class="grooves" x="${round(panel.grooves[0])}" y="${round(top)}" width="${round(panel.grooves[1])}"` +
            ` height="${round(height)}"/>`);
        for (const x of panel.gridX) {
            out.push(`<line class="grid" x1="${round(x)}" x2="${round(x)}" y1="${round(top)}" y2="${round(top + height)}"/>`);
        }
        for (const y of panel.gridY) {
            out.push(`<line class="grid" x1="${round(left)}" x2="${round(left + width)}" y1="${round(y)}" y2="${round(y)}"/>`);
        }
        out.push(`<rect class="frame" x="${round(left)}" y="${round(top)}" width="${round(width)}" height="${round(height)}"/>`);
        for (const series of panel.series) {
            for (const run of series.runs) {
                const points = [];
                for (let i = 0; i + 1 < run.length; i += 2) points.push(`${round(run[i])},${round(run[i + 1])}`);
                out.push(`<polyline class="curve ${escapeXml(series.key)}" points="${points.join(' ')}"/>`);
            }
        }
        for (const label of panel.labels) {
            out.push(`<text x="${round(label.x)}" y="${round(label.y)}" text-anchor="${label.anchor}">` +
                `${escapeXml(label.text)}</text>`);
        }
        out.push('</g></svg>');
        return out.join('');
    }

    global.QuillmerePageDevice = { toPdf, toSvg, chartPanelSvg, textAdvance };
})(typeof window !== 'undefined' ? window : globalThis);
