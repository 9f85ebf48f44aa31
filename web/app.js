// The page: fields in, the core's reports and pages out. Numbers are never read here, and no default, limit or
// preset is kept here: the texts go to the core's settings layer as typed, named as the Linux tool's options, and
// every reading, refusal and warning comes back from it as a record.
'use strict';

(async function () {
    const FieldNames = ['spindle-to-pivot', 'inner-radius', 'outer-radius', 'correction-x', 'correction-y', 'id'];
    const CustomNames = ['outer-bars', 'inner-bars', 'caption1', 'caption2'];
    // The custom disk by speeds, named as the Linux tool's options; empty speeds leave the disk to its counts.
    const SpeedNames = ['speeds', 'mains'];
    // The arm as mounted, for the analysis only; empty unless the user gives it.
    const ArmNames = ['effective-length', 'overhang', 'offset-angle', 'rpm', 'velocity'];
    const PageNames = ['paper', 'margin'];
    // Letter where it is the common paper, A4 elsewhere.
    const LetterRegions = ['US', 'CA', 'MX', 'PH'];

    const $ = (id) => document.getElementById(id);
    const timings = (window.quillmereTimings = { valuesShownMs: null, pdfMs: {}, inputMs: [], previewMs: [], stepMs: 0 });

    const core = await QuillmereCore();
    const defaults = core.defaults();
    // A setting's default text, whichever command takes it ('' for none).
    const defaultOf = (name) => {
        for (const rules of Object.values(defaults.commands)) {
            const rule = rules.find((r) => r.name === name);
            if (rule) return rule.default;
        }
        return '';
    };
    const geometryDefault = defaultOf('geometry');

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
        return checked ? checked.value : geometryDefault;
    }

    function fieldTexts() {
        const texts = { geometry: geometryChoice() };
        for (const name of FieldNames.concat(CustomNames, ArmNames, SpeedNames, PageNames)) {
            texts[name] = $(name).value;
        }
        return texts;
    }

    // The settings of one command, as its options: every field that has a default goes as typed (an empty field is
    // an empty text, as an empty window field is); a field without one goes only when something is typed in it.
    function settingsFor(command, leaveOut = []) {
        const texts = fieldTexts();
        const settings = {};
        for (const rule of defaults.commands[command]) {
            const text = texts[rule.name];
            if (text === undefined || leaveOut.includes(rule.name)) continue;
            if (rule.default !== '' || text.trim() !== '') settings[rule.name] = text;
        }
        return settings;
    }
    // The custom disk by its speeds, or else by its counts; the built-in disks by their mains alone.
    const customDiskSettings = () =>
        $('speeds').value.trim() !== ''
            ? settingsFor('strobe', ['outer-bars', 'inner-bars'])
            : settingsFor('strobe', ['speeds', 'mains']);
    const fixedDiskSettings = () => settingsFor('strobe', SpeedNames.concat(CustomNames));

    // Fields from the query: the Linux tool's option names; a preset fills the radii, an explicit radius wins.
    function fillFromQuery() {
        const query = new URLSearchParams(location.search);
        for (const name of FieldNames.concat(CustomNames)) {
            $(name).value = defaultOf(name);
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
        $('mains').value = query.get('mains') === '50' ? '50' : defaultOf('mains');
        if (query.has('speeds') || CustomNames.some((name) => query.has(name))) {
            $('custom-disk').open = true;
        }
        if (ArmNames.some((name) => query.has(name))) {
            $('your-arm').open = true;
        }
        const geometry = (query.get('geometry') || geometryDefault).toLowerCase();
        const button = document.querySelector(`input[name="geometry"][value="${CSS.escape(geometry)}"]`);
        (button || document.querySelector(`input[name="geometry"][value="${geometryDefault}"]`)).checked = true;
        const paper = (query.get('paper') || '').toLowerCase();
        $('paper').value = paper === 'a4' || paper === 'letter' ? paper : defaultPaper();
        $('margin').value = query.get('margin') || defaultOf('margin');
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
            if (texts[name] !== defaultOf(name)) {
                query.set(name, texts[name]);
            }
        }
        if (preset && (preset.inner !== defaultOf('inner-radius') || preset.outer !== defaultOf('outer-radius'))) {
            query.set('preset', preset.name);
        }
        if (texts.geometry !== geometryDefault) {
            query.set('geometry', texts.geometry);
        }
        query.set('paper', $('paper').value);
        if ($('margin').value !== defaultOf('margin')) {
            query.set('margin', $('margin').value);
        }
        for (const name of CustomNames) {
            if (texts[name] !== defaultOf(name)) {
                query.set(name, texts[name]);
            }
        }
        if (texts.speeds.trim() !== '') {
            query.set('speeds', texts.speeds);
        }
        if (texts.mains !== defaultOf('mains')) {
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
        const report = JSON.parse(core.report(settingsFor('values')));
        $('values').textContent = report.alignment
            ? report.alignment.lines.join('\n')
            : report.refusals.map((r) => r.message).join('\n');
        showNotices(FieldNames, report);
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

    const SettingsOfPrintout = {
        arc: () => settingsFor('arc'),
        chart: () => settingsFor('analyse'),
        'strobe-60': fixedDiskSettings,
        'strobe-50': fixedDiskSettings,
        'strobe-custom': customDiskSettings,
    };

    function recordPage(printout) {
        const recorded = core.pageOperations(printout, SettingsOfPrintout[printout](), design);
        if (recorded.error) {
            throw new Error(recorded.error);
        }
        return recorded;
    }

    // Each field's reading note, and the refusals and warnings of the report that concern it, beside the field.
    function showNotices(names, report) {
        const notices = report.refusals.concat(report.warnings);
        for (const name of names) {
            const setting = report.settings[name];
            const note = $(name + '-note');
            const check = $(name + '-check');
            const mine = notices.filter((n) => n.field === name);
            const reading = setting && setting.note ? [setting.note] : [];
            const messages = mine.filter((n) => n.code !== 'partly-read').map((n) => n.message);
            if (note) note.textContent = (check ? reading : reading.concat(messages)).join('; ');
            if (check) check.textContent = messages.join('; ');
            if (note || check) $(name).setAttribute('aria-invalid', mine.length ? 'true' : 'false');
        }
    }

    async function drawPreview() {
        await loadDrawing();
        const mine = generation;
        const steps = [
            () => {
                const report = JSON.parse(core.analysis(settingsFor('analyse')));
                $('analysis').textContent = report.analysis
                    ? report.analysis.table
                    : report.refusals.map((r) => r.message).join('\n');
                showNotices(ArmNames, report);
            },
            () => {
                // Marks off the paper and the custom disk's notes, as the Linux tool warns of them.
                const arc = JSON.parse(core.pageReport('arc', settingsFor('arc')));
                const strobe = JSON.parse(core.pageReport('strobe', customDiskSettings()));
                showNotices(SpeedNames.concat(CustomNames, PageNames), {
                    settings: strobe.settings,
                    refusals: strobe.refusals.concat(arc.refusals),
                    warnings: [],
                });
                const list = $('page-warnings');
                list.replaceChildren();
                const pageWide = (n) => ['page-cut', 'grid-left-out', 'caption-not-printed', 'drift'].includes(n.code);
                for (const [what, notices] of [
                    ['Arc template', arc.warnings],
                    ['Strobe disk', strobe.warnings.concat(strobe.notes)],
                ]) {
                    for (const notice of notices.filter(pageWide)) {
                        const item = document.createElement('li');
                        item.textContent = `${what}: ${notice.message}`;
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
