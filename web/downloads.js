// The downloads: the PDF writer and fonts loaded when needed, the template's picture, the PDFs made from the core's
// page operations, and which downloads the setup leaves nothing to print for.
import { $, fieldTexts } from './state.js';

const loadScript = (src) =>
    new Promise((resolve, reject) => {
        const script = document.createElement('script');
        script.src = src;
        script.onload = resolve;
        script.onerror = () => {
            script.remove();
            reject(new Error(`${src} did not load`));
        };
        document.body.appendChild(script);
    });

export function makeDownloads(core, defaults, timings, settleNow) {
    const titles = Object.fromEntries(defaults.printouts.map((p) => [p.id, p.title]));
    const reminders = Object.fromEntries(defaults.printouts.map((p) => [p.id, p.reminder]));
    const fonts = {};
    let design = null;
    let drawingReady = null;
    let making = false;

    // The PDF writer and the fonts are most of the site and only the PDFs and the template's picture need them:
    // they load when the browser is idle after the values are shown, or at the first click. A load that failed is
    // tried again at the next click.
    function loadDrawing() {
        drawingReady ??= (async () => {
            const needed = [
                ['vendor/pdf-lib.min.js', () => window.PDFLib],
                ['vendor/fontkit.umd.min.js', () => window.fontkit],
                ['fonts.js', () => window.QuillmereFonts],
            ];
            await Promise.all(needed.filter(([, loaded]) => !loaded()).map(([src]) => loadScript(src)));
            const decode = (base64) => {
                const text = atob(base64);
                const bytes = new Uint8Array(text.length);
                for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
                return bytes;
            };
            for (const style of ['regular', 'italic', 'bold']) {
                fonts[style + 'Bytes'] = decode(QuillmereFonts[style]);
                fonts[style] = fontkit.create(fonts[style + 'Bytes']);
            }
            // The fonts' vertical design per em, which the core needs for the line heights of the page.
            design = {
                ascent: fonts.regular.ascent / fonts.regular.unitsPerEm,
                descent: -fonts.regular.descent / fonts.regular.unitsPerEm,
                lineGap: fonts.regular.lineGap / fonts.regular.unitsPerEm,
            };
            document.fonts.add(new FontFace('Quillmere Sans', fonts.regularBytes));
            document.fonts.add(new FontFace('Quillmere Sans', fonts.italicBytes, { style: 'italic' }));
            document.fonts.add(new FontFace('Quillmere Sans', fonts.boldBytes, { weight: 'bold' }));
            document.documentElement.dataset.drawing = 'true';
        })();
        drawingReady.catch(() => (drawingReady = null));
        return drawingReady;
    }

    function recordPage(printout) {
        const recorded = core.pageOperations(printout, fieldTexts(), design);
        if (recorded.error) throw new Error(recorded.error);
        return recorded;
    }

    // The downloads the setup leaves nothing to print for are switched off, and the list says why (`state` is the
    // core's page state).
    function showBlockers(state) {
        for (const printout of state.printouts) {
            const button = document.querySelector(`button[data-printout="${printout.id}"]`);
            button.dataset.blocked = String(printout.blocked);
            button.disabled = making || printout.blocked;
        }
        $('blocked').replaceChildren(...state.blocked.map((line) => Object.assign(document.createElement('li'),
            { textContent: line })));
        $('page-warnings').replaceChildren(...state.pageWarnings.map((line) => Object.assign(
            document.createElement('li'), { textContent: line })));
    }

    // The template's picture waits for the fonts and a quiet moment, and is dropped when the fields changed meanwhile.
    let previewPending = 0;
    let generation = 0;
    function schedulePreview(arcBlocked) {
        generation++;
        clearTimeout(previewPending);
        previewPending = setTimeout(() => drawPreview(arcBlocked), 0);
    }

    async function drawPreview(arcBlocked) {
        const mine = generation;
        try {
            await loadDrawing();
        } catch (error) {
            return;
        }
        if (mine !== generation) return;
        const started = performance.now();
        if (!arcBlocked) {
            try {
                const recorded = recordPage('arc');
                const label = 'The arc alignment template: the record circle over the spindle, the arc through both ' +
                    'null points with their alignment grids, the pivot, and the measuring frame with its 200 mm marks';
                // A template on several sheets shows them side by side, each with its crosses and its cut or glue edge.
                const sheets = recorded.sheets.length > 1 ? recorded.sheets : [recorded.operations];
                $('preview').innerHTML = sheets.map((operations, i) => QuillmerePageDevice.toSvg(fonts,
                    { ...recorded, operations },
                    sheets.length > 1 ? `Sheet ${i + 1} of ${sheets.length}. ${label}` : label,
                    `preview-${i}`)).join('');
                $('preview').classList.toggle('sheets', sheets.length > 1);
            } catch (error) {
                $('preview').textContent = error.message;
            }
        }
        const took = performance.now() - started;
        timings.stepMs = Math.max(timings.stepMs, took);
        timings.previewMs.push(took);
        document.documentElement.dataset.drawn = String(timings.previewMs.length);
    }

    // One PDF at a time: the buttons say so and take no second click until it is saved.
    async function download(printout, button) {
        if (making) return;
        const clicked = performance.now();
        settleNow();
        const status = $('download-status');
        const blockers = core.blockers(printout, fieldTexts());
        if (blockers.length) {
            status.textContent = `Not made: ${blockers[0].message}`;
            return;
        }
        making = true;
        const buttons = document.querySelectorAll('button[data-printout]');
        for (const b of buttons) b.disabled = true;
        const label = button.textContent;
        button.textContent = 'making…';
        button.setAttribute('aria-busy', 'true');
        try {
            await loadDrawing();
            const started = performance.now();
            const recorded = recordPage(printout);
            recorded.title = titles[printout];
            const bytes = await QuillmerePageDevice.toPdf(PDFLib, fontkit, fonts, recorded);
            timings.pdfMs[printout] = performance.now() - started;
            const name = core.fileName(printout, fieldTexts());
            const link = document.createElement('a');
            link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/pdf' }));
            link.download = name;
            document.body.appendChild(link);
            link.click();
            link.remove();
            setTimeout(() => URL.revokeObjectURL(link.href), 60000);
            timings.clickMs[printout] = performance.now() - clicked;
            status.textContent = `${name} is ready: ${reminders[printout]}.`;
        } catch (error) {
            status.textContent = `Not made: ${error.message}`;
        } finally {
            making = false;
            button.textContent = label;
            button.removeAttribute('aria-busy');
            for (const b of buttons) b.disabled = b.dataset.blocked === 'true';
        }
    }

    for (const button of document.querySelectorAll('button[data-printout]')) {
        button.addEventListener('click', () => download(button.dataset.printout, button));
    }
    // The PDF writer's fonts and their design, once loaded, for a page the core records elsewhere (the speed chart).
    async function drawingKit() {
        await loadDrawing();
        return { fonts, design };
    }

    return { loadDrawing, showBlockers, schedulePreview, drawingKit };
}
