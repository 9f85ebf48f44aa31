// The page: fields in, the core's values and pages out. Numbers are never read here: the texts go to the core as
// typed, exactly as the window's fields and the Linux tool's options do.
'use strict';

(async function () {
    const FieldNames = ['spindle-to-pivot', 'inner-radius', 'outer-radius', 'correction-x', 'correction-y', 'id'];
    const CustomNames = ['outer-bars', 'inner-bars', 'caption1', 'caption2'];
    // The custom disk by speeds, named as the Linux tool's options; empty speeds leave the disk to its counts.
    const SpeedNames = ['speeds', 'mains'];
    const DefaultMains = '60';
    // The arm as mounted, for the analysis only; empty unless the user gives it.
    const ArmNames = ['effective-length', 'overhang', 'offset-angle', 'rpm', 'velocity'];
    const NumberNames = FieldNames.filter((name) => name !== 'id');
    const DefaultMargin = '4.23';
    const Dpi = 600;
    // Letter where it is the common paper, A4 elsewhere.
    const LetterRegions = ['US', 'CA', 'MX', 'PH'];

    const $ = (id) => document.getElementById(id);
    const timings = (window.quillmereTimings = { valuesShownMs: null, pdfMs: {}, inputMs: [], previewMs: [], stepMs: 0 });

    const core = await QuillmereCore();
    const defaults = core.defaults();

    // The PDF writer and the fonts are most of the site: they load after the values are shown.
    const loadScript = (src) =>
        new Promise((resolve, reject) => {
            const script = document.createElement('script');
            script.src = src;
            script.onload = resolve;
            script.onerror = () => reject(new Error(`${src} did not load`));
            document.body.appendChild(script);
        });
    let drawingReady = null;
    const fonts = {};
    let design = null;
    function loadDrawing() {
        drawingReady ??= (async () => {
            await Promise.all(['vendor/pdf-lib.min.js', 'vendor/fontkit.umd.min.js', 'fonts.js'].map(loadScript));
            const decode = (base64) => Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
            fonts.regularBytes = decode(QuillmereFonts.regular);
            fonts.italicBytes = decode(QuillmereFonts.italic);
            fonts.boldBytes = decode(QuillmereFonts.bold);
            fonts.regular = fontkit.create(fonts.regularBytes);
            fonts.italic = fontkit.create(fonts.italicBytes);
            fonts.bold = fontkit.create(fonts.boldBytes);
            // The fonts' vertical design per em, which the core needs for the line heights of the page.
            design = {
                ascent: fonts.regular.ascent / fonts.regular.unitsPerEm,
                descent: -fonts.regular.descent / fonts.regular.unitsPerEm,
                lineGap: fonts.regular.lineGap / fonts.regular.unitsPerEm,
            };
            document.fonts.add(new FontFace('Quillmere Sans', fonts.regularBytes));
            document.fonts.add(new FontFace('Quillmere Sans', fonts.italicBytes, { style: 'italic' }));
            document.fonts.add(new FontFace('Quillmere Sans', fonts.boldBytes, { weight: 'bold' }));
        })();
        return drawingReady;
    }

    function defaultPaper() {
        for (const tag of navigator.languages || [navigator.language]) {
            try {
                const region = new Intl.Locale(tag).maximize().region;
                if (region) {
                    return LetterRegions.includes(region) ? 'letter' : 'a4';
                }
            } catch (error) {
                // An odd language tag says nothing about the paper.
            }
        }
        return 'a4';
    }

    function geometryChoice() {
        const checked = document.querySelector('input[name="geometry"]:checked');
        return checked ? checked.value : defaults.fields.geometry;
    }

    function fieldTexts() {
        const texts = { geometry: geometryChoice() };
        for (const name of FieldNames.concat(CustomNames, ArmNames, SpeedNames)) {
            texts[name] = $(name).value;
        }
        return texts;
    }

    function pageOptions() {
        return { paper: $('paper').value, margin: Number($('margin').value.trim() || DefaultMargin), dpi: Dpi };
    }

    // Fields from the query: the Linux tool's option names; a preset fills the radii, an explicit radius wins.
    function fillFromQuery() {
        const query = new URLSearchParams(location.search);
        for (const name of FieldNames.concat(CustomNames)) {
            $(name).value = defaults.fields[name];
        }
        const preset = defaults.presets.find((p) => p.name === (query.get('preset') || '').toLowerCase());
        if (preset) {
            $('inner-radius').value = preset.inner;
            $('outer-radius').value = preset.outer;
        }
        for (const name of FieldNames.concat(CustomNames, ArmNames)) {
            if (query.has(name)) {
                $(name).value = query.get(name);
            }
        }
        $('speeds').value = query.get('speeds') || '';
        $('mains').value = query.get('mains') === '50' ? '50' : DefaultMains;
        if (query.has('speeds') || CustomNames.some((name) => query.has(name))) {
            $('custom-disk').open = true;
        }
        if (ArmNames.some((name) => query.has(name))) {
            $('your-arm').open = true;
        }
        const geometry = (query.get('geometry') || defaults.fields.geometry).toLowerCase();
        const button = document.querySelector(`input[name="geometry"][value="${CSS.escape(geometry)}"]`);
        (button || document.querySelector(`input[name="geometry"][value="${defaults.fields.geometry}"]`)).checked =
            true;
        const paper = (query.get('paper') || '').toLowerCase();
        $('paper').value = paper === 'a4' || paper === 'letter' ? paper : defaultPaper();
        $('margin').value = query.get('margin') || DefaultMargin;
    }

    // The query of the current setup: only what differs from the defaults, a preset by its name.
    function queryOfFields() {
        const query = new URLSearchParams();
        const texts = fieldTexts();
        const preset = defaults.presets.find((p) => p.inner === texts['inner-radius'] && p.outer === texts['outer-radius']);
        for (const name of FieldNames) {
            const isRadius = name === 'inner-radius' || name === 'outer-radius';
            if (isRadius && preset) {
                continue;
            }
            if (texts[name] !== defaults.fields[name]) {
                query.set(name, texts[name]);
            }
        }
        if (preset && (preset.inner !== defaults.fields['inner-radius'] || preset.outer !== defaults.fields['outer-radius'])) {
            query.set('preset', preset.name);
        }
        if (texts.geometry !== defaults.fields.geometry) {
            query.set('geometry', texts.geometry);
        }
        query.set('paper', $('paper').value);
        if ($('margin').value !== DefaultMargin) {
            query.set('margin', $('margin').value);
        }
        for (const name of CustomNames) {
            if (texts[name] !== defaults.fields[name]) {
                query.set(name, texts[name]);
            }
        }
        if (texts.speeds.trim() !== '') {
            query.set('speeds', texts.speeds);
        }
        if (texts.mains !== DefaultMains) {
            query.set('mains', texts.mains);
        }
        for (const name of ArmNames) {
            if (texts[name].trim() !== '') {
                query.set(name, texts[name]);
            }
        }
        return query.toString();
    }

    function showValues() {
        const started = performance.now();
        const result = core.values(fieldTexts());
        $('values').textContent = result.text;
        showWarnings(NumberNames, result.warnings.concat(result.checks));
        const query = queryOfFields();
        $('share-link').href = '?' + query;
        history.replaceState(null, '', '?' + query);
        return performance.now() - started;
    }

    // The analysis, the chart and the preview wait for a quiet moment and go one step a task, each step dropped when
    // the fields changed meanwhile, so a keystroke never waits behind more than one step.
    let previewPending = 0;
    let generation = 0;
    function schedulePreview() {
        generation++;
        clearTimeout(previewPending);
        previewPending = setTimeout(drawPreview, 60);
    }
    const nextTask = () => new Promise((resolve) => setTimeout(resolve, 0));

    function recordPage(printout) {
        const recorded = core.pageOperations(printout, fieldTexts(), pageOptions(), design);
        if (recorded.error) {
            throw new Error(recorded.error);
        }
        return recorded;
    }

    function showWarnings(names, warnings) {
        for (const name of names) {
            const mine = warnings.filter((w) => w.field === name);
            const reading = mine.find((w) => w.readsAs !== undefined);
            $(name + '-note').textContent = reading ? `“${reading.text}” reads as ${reading.readsAs}` : '';
            // The checks of the lengths and factors, worded as the Linux tool warns.
            const checks = mine.filter((w) => w.message !== undefined).map((w) => w.message);
            if ($(name + '-check')) {
                $(name + '-check').textContent = checks.join('; ');
            }
            $(name).setAttribute('aria-invalid', mine.length ? 'true' : 'false');
        }
    }

    async function drawPreview() {
        await loadDrawing();
        const mine = generation;
        const steps = [
            () => {
                const analysis = core.analysis(fieldTexts());
                $('analysis').textContent = analysis.problem || analysis.text;
                showWarnings(ArmNames, analysis.warnings);
            },
            () => {
                // Marks off the paper and the custom disk's notes, as the Linux tool warns of them.
                const found = core.pageWarnings(fieldTexts(), pageOptions());
                $('speeds-note').textContent = found.strobeError;
                $('speeds').setAttribute('aria-invalid', found.strobeError ? 'true' : 'false');
                const list = $('page-warnings');
                list.replaceChildren();
                for (const [what, texts] of [['Arc template', found.arc], ['Strobe disk', found.strobe]]) {
                    for (const text of texts) {
                        const item = document.createElement('li');
                        item.textContent = `${what}: ${text}`;
                        list.appendChild(item);
                    }
                }
            },
            () => {
                const chart = recordPage('chart');
                $('chart').innerHTML = QuillmerePageDevice.toSvg(fonts, chart, 'Chart of tracking error and distortion');
            },
            () => {
                const recorded = recordPage('arc');
                $('preview').innerHTML = QuillmerePageDevice.toSvg(fonts, recorded, 'Preview of the arc alignment template');
            },
        ];
        let busy = 0;
        for (const step of steps) {
            if (mine !== generation) {
                return;
            }
            const started = performance.now();
            try {
                step();
            } catch (error) {
                $('download-status').textContent = error.message;
            }
            const took = performance.now() - started;
            timings.stepMs = Math.max(timings.stepMs || 0, took);
            busy += took;
            await nextTask();
        }
        timings.previewMs.push(busy);
        document.documentElement.dataset.drawn = String(timings.previewMs.length);
    }

    const FileNames = {
        arc: 'arc-template.pdf',
        chart: 'analysis-chart.pdf',
        'strobe-60': 'strobe-60hz.pdf',
        'strobe-50': 'strobe-50hz.pdf',
        'strobe-custom': 'strobe-custom.pdf',
    };
    const Titles = {
        arc: 'Arc alignment template',
        chart: 'Alignment analysis',
        'strobe-60': 'Strobe disk 60 Hz',
        'strobe-50': 'Strobe disk 50 Hz',
        'strobe-custom': 'Custom strobe disk',
    };

    async function download(printout) {
        const status = $('download-status');
        try {
            await loadDrawing();
            const started = performance.now();
            const recorded = recordPage(printout);
            recorded.title = Titles[printout];
            const bytes = await QuillmerePageDevice.toPdf(PDFLib, fontkit, fonts, recorded);
            const made = performance.now() - started;
            timings.pdfMs[printout] = made;
            const link = document.createElement('a');
            link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/pdf' }));
            link.download = FileNames[printout];
            document.body.appendChild(link);
            link.click();
            link.remove();
            setTimeout(() => URL.revokeObjectURL(link.href), 60000);
            status.textContent = `${FileNames[printout]} made in ${Math.round(made)} ms. Print it at actual size (100 %).`;
        } catch (error) {
            status.textContent = `Not made: ${error.message}`;
        }
    }

    fillFromQuery();
    showValues();
    timings.valuesShownMs = performance.now();
    document.documentElement.dataset.ready = 'true';
    loadDrawing()
        .then(() => {
            document.documentElement.dataset.drawing = 'true';
            schedulePreview();
        })
        .catch((error) => ($('preview').textContent = error.message));

    $('fields').addEventListener('input', (event) => {
        showValues();
        // From the keystroke to its values on the page, waiting included.
        timings.inputMs.push(performance.now() - event.timeStamp);
        schedulePreview();
    });
    for (const id of ['paper', 'margin'].concat(CustomNames, ArmNames, SpeedNames)) {
        $(id).addEventListener('input', () => {
            showValues();
            schedulePreview();
        });
    }
    for (const button of document.querySelectorAll('button[data-preset]')) {
        button.addEventListener('click', () => {
            const preset = defaults.presets.find((p) => p.name === button.dataset.preset);
            $('inner-radius').value = preset.inner;
            $('outer-radius').value = preset.outer;
            showValues();
            schedulePreview();
        });
    }
    for (const button of document.querySelectorAll('button[data-printout]')) {
        button.addEventListener('click', () => download(button.dataset.printout));
    }
    $('fields').addEventListener('submit', (event) => event.preventDefault());
    $('copy-link').addEventListener('click', async () => {
        try {
            await navigator.clipboard.writeText(location.href);
            $('copy-status').textContent = 'Copied.';
        } catch (error) {
            $('copy-status').textContent = 'Copy the address from the address bar.';
        }
    });
})();
