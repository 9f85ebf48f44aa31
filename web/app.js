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
    // Custom null points: two fields that go to the core as one setting, as the Linux tool's --nulls takes them.
    const NullNames = ['inner-null', 'outer-null'];
    const Printouts = ['arc', 'strobe-60', 'strobe-50', 'chart', 'strobe-custom'];
    // The lines of the values that go beside the spindle field: what the user sets the arm to.
    const KeyLines = ['Overhang', 'Offset angle', 'Inner null radius', 'Outer null radius'];
    // Letter where it is the common paper, A4 elsewhere.
    const LetterRegions = ['US', 'CA', 'MX', 'PH'];
    // A typing pause: long enough not to judge a number half typed, short enough to feel immediate.
    const PauseMs = 600;

    const $ = (id) => document.getElementById(id);
    const timings = (window.quillmereTimings = {
        valuesShownMs: null, pdfMs: {}, clickMs: {}, inputMs: [], previewMs: [], stepMs: 0, settled: 0,
    });

    // Where the time before the first values goes, for the budget's measurement.
    const startup = (timings.startup = { appStartMs: performance.now() });
    const core = await QuillmereCore();
    startup.coreReadyMs = performance.now();
    const defaults = core.defaults();
    startup.defaultsMs = performance.now();
    // A setting's default text, whichever command takes it ('' for none).
    const defaultOf = (name) => {
        for (const rules of Object.values(defaults.commands)) {
            const rule = rules.find((r) => r.name === name);
            if (rule) return rule.default;
        }
        return '';
    };
    const geometryDefault = defaultOf('geometry');

    // The PDF writer and the fonts are most of the site and only the PDFs and the template's picture need them:
    // they load when the browser is idle after the values are shown, or at the first click. A load that failed is
    // tried again at the next click.
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
    let drawingReady = null;
    const fonts = {};
    let design = null;
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
            document.documentElement.dataset.drawing = 'true';
        })();
        drawingReady.catch(() => (drawingReady = null));
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
    // The paper goes into a shared link only when the user chose it: the recipient's own default serves otherwise.
    let paperChosen = false;

    function geometryChoice() {
        const checked = document.querySelector('input[name="geometry"]:checked');
        return checked ? checked.value : geometryDefault;
    }

    function fieldTexts() {
        const texts = { geometry: geometryChoice() };
        for (const name of FieldNames.concat(CustomNames, ArmNames, SpeedNames, PageNames, NullNames)) {
            texts[name] = $(name).value;
        }
        // Custom null points stand in for a geometry; the two texts go as typed, the core reads them.
        if (texts.geometry === 'custom') {
            delete texts.geometry;
            texts.nulls = `${texts['inner-null']};${texts['outer-null']}`;
        }
        texts.exact = $('exact').checked ? 'on' : '';
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
    const SettingsOfPrintout = {
        arc: () => settingsFor('arc'),
        chart: () => settingsFor('analyse'),
        'strobe-60': fixedDiskSettings,
        'strobe-50': fixedDiskSettings,
        'strobe-custom': customDiskSettings,
    };

    // The papers as the core lists them; the helpers that add papers add them there.
    function fillPapers() {
        defaults.papers.forEach((name, i) => {
            const option = document.createElement('option');
            option.value = name;
            option.textContent = defaults.paperTitles[i];
            $('paper').appendChild(option);
        });
    }

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
        const nulls = query.get('nulls');
        if (nulls !== null) {
            // The link holds the two fields as the page wrote them, "inner;outer".
            const at = nulls.indexOf(';');
            $('inner-null').value = at < 0 ? nulls : nulls.slice(0, at);
            $('outer-null').value = at < 0 ? '' : nulls.slice(at + 1);
        }
        $('exact').checked = query.has('exact');
        const geometry = (nulls !== null ? 'custom' : query.get('geometry') || geometryDefault).toLowerCase();
        const button = document.querySelector(`input[name="geometry"][value="${CSS.escape(geometry)}"]`);
        (button || document.querySelector(`input[name="geometry"][value="${geometryDefault}"]`)).checked = true;
        const paper = (query.get('paper') || '').toLowerCase();
        paperChosen = defaults.papers.includes(paper);
        if (paperChosen) $('paper').value = paper;
        $('margin').value = query.get('margin') || defaultOf('margin');
    }

    const presetOfFields = (texts) =>
        defaults.presets.find((p) => p.inner === texts['inner-radius'] && p.outer === texts['outer-radius']);

    // The query of the current setup: only what differs from the defaults, a preset by its name.
    function queryOfFields() {
        const query = new URLSearchParams();
        const texts = fieldTexts();
        const preset = presetOfFields(texts);
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
        if (texts.nulls !== undefined) {
            query.set('nulls', texts.nulls);
        } else if (texts.geometry !== geometryDefault) {
            query.set('geometry', texts.geometry);
        }
        if (texts.exact) {
            query.set('exact', '');
        }
        if (paperChosen) {
            query.set('paper', $('paper').value);
        }
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

    // The core's lines "Label = value" as rows; the ID's line keeps no padding.
    function fillRows(body, lines) {
        const rows = lines.map((line) => {
            const at = line.indexOf(' = ');
            const row = document.createElement('tr');
            const label = document.createElement('th');
            label.scope = 'row';
            label.textContent = line.slice(0, at);
            const value = document.createElement('td');
            value.textContent = line.slice(at + 3).trimEnd();
            row.append(label, value);
            return row;
        });
        body.replaceChildren(...rows);
    }

    // The values as the user types: shown at once when the setup computes; a setup that does not is judged only
    // after a pause, so the values of the last one stay, greyed, meanwhile. While typing only the lines are asked
    // for; the whole report, with every note, comes once the typing stops.
    function showValues(settled) {
        const settings = settingsFor('values');
        const report = settled ? JSON.parse(core.report(settings)) : null;
        const lines = settled ? report.alignment && report.alignment.lines : core.valueLines(settings).lines;
        const computed = Boolean(lines);
        if (computed) {
            fillRows($('values').tBodies[0], lines);
            fillRows($('key-table').tBodies[0], lines.filter((line) => KeyLines.includes(line.slice(0, line.indexOf(' = ')))));
        }
        for (const id of ['values', 'key-table']) $(id).classList.toggle('stale', !computed);
        if (settled) {
            $('values-refused').hidden = computed;
            $('values-refused').textContent = computed ? '' : report.refusals.map((r) => r.message).join('\n');
        }
        const texts = fieldTexts();
        const preset = presetOfFields(texts);
        for (const button of document.querySelectorAll('button[data-preset]')) {
            button.setAttribute('aria-pressed', String(preset !== undefined && preset.name === button.dataset.preset));
        }
        return report;
    }

    // Every notice that concerns a field, beside it: its reading note, and the refusals and warnings in its check.
    function showNotices(reports) {
        const messages = new Map();
        const readings = new Map();
        const flagged = new Set();
        for (const report of reports) {
            for (const notice of report.refusals.concat(report.warnings)) {
                if (!notice.field) continue;
                flagged.add(notice.field);
                // A text read in part says so in its reading note already.
                if (notice.code === 'partly-read') continue;
                const list = messages.get(notice.field) || [];
                if (!list.includes(notice.message)) list.push(notice.message);
                messages.set(notice.field, list);
            }
            for (const [name, setting] of Object.entries(report.settings)) {
                if (setting && setting.note) readings.set(name, setting.note);
            }
        }
        for (const name of FieldNames.concat(CustomNames, ArmNames, SpeedNames, PageNames, ['nulls', 'exact'])) {
            const note = $(name + '-note');
            const check = $(name + '-check');
            if (note) note.textContent = readings.get(name) || '';
            if (check) check.textContent = (messages.get(name) || []).join('; ');
            if (note || check) $(name).setAttribute('aria-invalid', flagged.has(name) ? 'true' : 'false');
        }
    }

    // The downloads that the setup leaves nothing to print for are switched off, and the list says why.
    function showBlockers() {
        const list = $('blocked');
        const seen = new Set();
        const items = [];
        for (const printout of Printouts) {
            const button = document.querySelector(`button[data-printout="${printout}"]`);
            const blockers = core.blockers(printout, SettingsOfPrintout[printout]());
            button.dataset.blocked = blockers.length ? 'true' : 'false';
            button.disabled = making || blockers.length > 0;
            for (const blocker of blockers) {
                if (seen.has(blocker.message)) continue;
                seen.add(blocker.message);
                const item = document.createElement('li');
                item.textContent = `Not printable: ${blocker.message}`;
                items.push(item);
            }
        }
        list.replaceChildren(...items);
    }

    // The marks that the paper would cut, and the custom disk's notes, as the Linux tool warns of them.
    function pageReports() {
        const arc = JSON.parse(core.pageReport('arc', settingsFor('arc')));
        const strobe = JSON.parse(core.pageReport('strobe', customDiskSettings()));
        const list = $('page-warnings');
        const items = [];
        const pageWide = (n) =>
            ['page-cut', 'grid-left-out', 'caption-not-printed', 'drift', 'page-tiled'].includes(n.code);
        for (const [what, notices] of [
            ['Arc template', arc.warnings.concat(arc.notes)],
            ['Strobe disk', strobe.warnings.concat(strobe.notes)],
        ]) {
            for (const notice of notices.filter(pageWide)) {
                const item = document.createElement('li');
                item.textContent = `${what}: ${notice.message}`;
                items.push(item);
            }
        }
        list.replaceChildren(...items);
        return [arc, strobe];
    }

    // One short sentence for screen readers once the typing stops: what to set the arm to, or why there is nothing.
    let spoken = '';
    function announce(report, analysis) {
        let text;
        if (report.alignment) {
            text = Array.from($('key-table').tBodies[0].rows, (row) => `${row.cells[0].textContent} ${row.cells[1].textContent}`).join(', ');
        } else {
            text = report.refusals.concat(report.warnings).map((n) => n.message).slice(0, 1).join('');
        }
        const armRefusal = analysis.refusals.find((n) => ArmNames.includes(n.field));
        if (armRefusal) text += `. Your arm: ${armRefusal.message}`;
        if (text !== spoken) {
            spoken = text;
            $('summary').textContent = text;
        }
    }

    // After a pause, or when the user leaves a field: every check beside its field, the downloads, the address,
    // the summary, then the analysis and the pictures.
    let settleTimer = 0;
    function settle() {
        clearTimeout(settleTimer);
        settleTimer = 0;
        const report = showValues(true);
        const analysis = showAnalysis();
        const [arc, strobe] = pageReports();
        showNotices([report, analysis, arc, strobe]);
        showBlockers();
        const query = queryOfFields();
        $('share-link').href = '?' + query;
        history.replaceState(null, '', '?' + query);
        announce(report, analysis);
        timings.settled++;
        document.documentElement.dataset.settled = String(timings.settled);
        schedulePreview();
    }

    function cell(kind, text, className) {
        const element = document.createElement(kind);
        element.textContent = text;
        if (className) element.className = className;
        return element;
    }

    // The analysis as an HTML table that wraps, its cells the core's; "Your arm" says what it still needs.
    function showAnalysis() {
        const settings = settingsFor('analyse');
        const report = JSON.parse(core.analysis(settings));
        const table = core.analysisTable(settings);
        const box = $('analysis');
        const armNeeds = report.refusals.filter((n) => ArmNames.includes(n.field)).map((n) => n.message);
        $('arm-needs').textContent = armNeeds.length ? `Your arm needs: ${armNeeds.join('; ')}` : '';
        if (armNeeds.length) $('your-arm').open = true;
        if (!table) {
            box.replaceChildren(cell('p', report.refusals.map((r) => r.message).join('\n') ||
                (report.analysis ? report.analysis.table : ''), 'refused'));
            $('chart').replaceChildren();
            return report;
        }
        const element = document.createElement('table');
        element.append(cell('caption', table.inputs));
        const head = document.createElement('thead');
        const headRow = document.createElement('tr');
        headRow.append(cell('td', ''));
        for (const arm of table.arms) {
            const th = cell('th', arm);
            th.scope = 'col';
            headRow.append(th);
        }
        head.append(headRow);
        const body = document.createElement('tbody');
        for (const row of table.rows) {
            const tr = document.createElement('tr');
            const label = row.label.trimStart();
            const th = cell('th', label, label === row.label ? '' : 'sub');
            th.scope = 'row';
            tr.append(th);
            row.cells.forEach((text, i) => tr.append(cell('td', row.marked === i ? `${text} *` : text,
                row.marked === i ? 'lowest' : '')));
            body.append(tr);
        }
        element.append(head, body);
        const notes = [table.exactNote, table.footnote, table.tradeOff].filter((l) => l).map((l) => cell('p', l));
        for (const line of table.comparison.split('\n').filter((l) => l)) notes.push(cell('p', line));
        if (table.closedForms) notes.push(cell('pre', table.closedForms));
        box.replaceChildren(element, ...notes);
        drawChart(settings, table.arms);
        return report;
    }

    // The chart drawn for the screen: each panel as wide as the layout makes it, lettering the core sizes.
    function drawChart(settings, names) {
        const box = $('chart');
        let holders = box.querySelectorAll('.panel');
        if (holders.length !== 2) {
            holders = [document.createElement('div'), document.createElement('div')];
            holders.forEach((h) => (h.className = 'panel'));
            box.replaceChildren(...holders);
        }
        const chart = core.screenChart(settings, holders[0].clientWidth);
        chart.panels.forEach((panel, i) => {
            const label = `${panel.title} across the record for ${names.join(', ')}; the figures are in the table above`;
            holders[i].innerHTML = QuillmerePageDevice.chartPanelSvg(panel, chart.textPx, label);
        });
        const legend = document.createElement('ul');
        legend.className = 'legend';
        legend.setAttribute('aria-hidden', 'true');
        const keys = chart.panels.length ? chart.panels[0].series.map((s) => s.key) : [];
        keys.forEach((key, i) => {
            const item = document.createElement('li');
            const sample = document.createElement('span');
            sample.className = key;
            item.append(sample, names[i]);
            legend.append(item);
        });
        box.querySelector('.legend')?.remove();
        box.append(legend);
    }

    // The template's picture waits for the fonts and a quiet moment, and is dropped when the fields changed meanwhile.
    let previewPending = 0;
    let generation = 0;
    function schedulePreview() {
        generation++;
        clearTimeout(previewPending);
        previewPending = setTimeout(drawPreview, 0);
    }

    function recordPage(printout) {
        const recorded = core.pageOperations(printout, SettingsOfPrintout[printout](), design);
        if (recorded.error) {
            throw new Error(recorded.error);
        }
        return recorded;
    }

    async function drawPreview() {
        const mine = generation;
        try {
            await loadDrawing();
        } catch (error) {
            return;
        }
        if (mine !== generation) return;
        const started = performance.now();
        if (core.blockers('arc', SettingsOfPrintout.arc()).length === 0) {
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

    const Titles = {
        arc: 'Arc alignment template',
        chart: 'Alignment analysis',
        'strobe-60': 'Strobe disk 60 Hz',
        'strobe-50': 'Strobe disk 50 Hz',
        'strobe-custom': 'Custom strobe disk',
    };

    // One PDF at a time: the buttons say so and take no second click until it is saved.
    let making = false;
    async function download(printout, button) {
        if (making) return;
        const clicked = performance.now();
        if (settleTimer) settle();
        const status = $('download-status');
        const blockers = core.blockers(printout, SettingsOfPrintout[printout]());
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
            recorded.title = Titles[printout];
            const bytes = await QuillmerePageDevice.toPdf(PDFLib, fontkit, fonts, recorded);
            timings.pdfMs[printout] = performance.now() - started;
            const name = core.fileName(printout, SettingsOfPrintout[printout]());
            const link = document.createElement('a');
            link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/pdf' }));
            link.download = name;
            document.body.appendChild(link);
            link.click();
            link.remove();
            setTimeout(() => URL.revokeObjectURL(link.href), 60000);
            timings.clickMs[printout] = performance.now() - clicked;
            status.textContent = `${name} is ready: ${core.reminder(printout)}.`;
        } catch (error) {
            status.textContent = `Not made: ${error.message}`;
        } finally {
            making = false;
            button.textContent = label;
            button.removeAttribute('aria-busy');
            for (const b of buttons) b.disabled = b.dataset.blocked === 'true';
        }
    }

    fillPapers();
    fillFromQuery();
    $('nulls').hidden = geometryChoice() !== 'custom';
    showValues(false);
    timings.valuesShownMs = performance.now();
    document.documentElement.dataset.ready = 'true';
    // The rest of the page once the values are on screen (the paper's default asks the browser's locale data, which
    // is slow to load and not needed for the values), and the PDF writer when the browser has nothing to do.
    setTimeout(() => {
        if (!paperChosen) $('paper').value = defaultPaper();
        settle();
        (window.requestIdleCallback || setTimeout)(() => loadDrawing().catch(() => {}));
    }, 0);

    const typed = new Set(FieldNames.concat(CustomNames, ArmNames, SpeedNames, PageNames, NullNames));
    document.addEventListener('input', (event) => {
        const name = event.target.name;
        if (name === 'geometry' || name === 'exact') {
            $('nulls').hidden = geometryChoice() !== 'custom';
            settle();
            return;
        }
        if (!typed.has(name)) return;
        if (name === 'paper') paperChosen = true;
        // A field being typed in is judged when the typing stops, not on its way there.
        const check = $(name + '-check');
        if (check && check.textContent !== '') {
            check.textContent = '';
            event.target.setAttribute('aria-invalid', 'false');
        }
        showValues(false);
        // From the keystroke to its values on the page, waiting included.
        timings.inputMs.push(performance.now() - event.timeStamp);
        clearTimeout(settleTimer);
        settleTimer = setTimeout(settle, PauseMs);
    });
    // Leaving a field that was changed judges it at once.
    document.addEventListener('change', (event) => {
        if (typed.has(event.target.name) || event.target.name === 'geometry') settle();
    });

    // The calibration: the measured length gives the factor, worked out by the core, or its refusal beside it.
    for (const input of document.querySelectorAll('input[data-factor]')) {
        const judge = () => {
            const note = $(input.id + '-note');
            if (input.value.trim() === '') {
                note.textContent = '';
                input.setAttribute('aria-invalid', 'false');
                return;
            }
            const result = core.calibration(input.value);
            note.textContent = result.error || '';
            input.setAttribute('aria-invalid', result.error ? 'true' : 'false');
            if (result.factor) {
                $(input.dataset.factor).value = result.factor;
                settle();
            }
        };
        let timer = 0;
        input.addEventListener('input', () => {
            clearTimeout(timer);
            timer = setTimeout(judge, PauseMs);
        });
        input.addEventListener('change', () => {
            clearTimeout(timer);
            judge();
        });
    }

    for (const button of document.querySelectorAll('button[data-preset]')) {
        button.addEventListener('click', () => {
            const preset = defaults.presets.find((p) => p.name === button.dataset.preset);
            $('inner-radius').value = preset.inner;
            $('outer-radius').value = preset.outer;
            settle();
        });
    }
    for (const button of document.querySelectorAll('button[data-printout]')) {
        button.addEventListener('click', () => download(button.dataset.printout, button));
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
    let resizeTimer = 0;
    window.addEventListener('resize', () => {
        clearTimeout(resizeTimer);
        resizeTimer = setTimeout(showAnalysis, 150);
    });
})();
