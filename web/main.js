// The page: fields in, the core's reports and pages out. Nothing is read, judged or worded here: the fields' texts
// go to the core's settings layer as typed, and every value, row, notice and title comes back from it. This module
// only starts the page and ties the views together (state and address, fields, values, analysis, match,
// downloads).
import { $, fieldTexts, makeState } from './state.js';
import { announce, showPreset, showValues } from './values.js';
import { clearCheck, showNotices, wireCalibration, wirePresets } from './fields.js';
import { showAnalysis, showArmNeeds } from './analysis.js';
import { showMatch } from './match.js';
import { makeDownloads } from './downloads.js';
import { wireSpeed } from './speed.js';

// A typing pause: long enough not to judge a number half typed, short enough to feel immediate.
const PauseMs = 600;

const timings = (window.quillmereTimings = {
    valuesShownMs: null, pdfMs: {}, clickMs: {}, inputMs: [], previewMs: [], stepMs: 0, settled: 0,
});
// Where the time before the first values goes, for the budget's measurement.
const startup = (timings.startup = { appStartMs: performance.now() });
const core = await QuillmereCore();
startup.coreReadyMs = performance.now();
const defaults = core.defaults();
startup.defaultsMs = performance.now();
const state = makeState(core);

let settleTimer = 0;
const downloads = makeDownloads(core, defaults, timings, () => {
    if (settleTimer) settle();
});

// The papers as the core lists them.
defaults.papers.forEach((name, i) => {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = defaults.paperTitles[i];
    $('paper').appendChild(option);
});

// The values as the user types: shown at once when the setup computes; a setup that does not is judged only after
// a pause.
function showTyped() {
    const texts = fieldTexts();
    showValues(core.valueRows(texts), false);
    showPreset(core.presetOf(texts));
}

// After a pause, or when the user leaves a field: every check beside its field, the downloads, the address, the
// summary, then the analysis and the pictures.
function settle() {
    clearTimeout(settleTimer);
    settleTimer = 0;
    const texts = fieldTexts();
    const view = core.pageState(texts);
    showValues(view.values, true);
    showPreset(core.presetOf(texts));
    showArmNeeds(view.armNeeds);
    showAnalysis(core, texts);
    showMatch(core, texts);
    showNotices(view.fields);
    downloads.showBlockers(view);
    const query = state.queryOfFields();
    $('share-link').href = '?' + query;
    history.replaceState(null, '', '?' + query);
    announce(view.summary);
    timings.settled++;
    document.documentElement.dataset.settled = String(timings.settled);
    downloads.schedulePreview(view.printouts.find((p) => p.id === 'arc').blocked);
}

const showNulls = () => ($('nulls').hidden = state.geometryChoice() !== 'custom');

state.fillFromQuery();
showNulls();
showTyped();
timings.valuesShownMs = performance.now();
document.documentElement.dataset.ready = 'true';
// The rest of the page once the values are on screen (the paper's default asks the browser's locale data, which is
// slow to load and not needed for the values), and the PDF writer when the browser has nothing to do.
setTimeout(() => {
    if (!state.paperChosen) $('paper').value = state.defaultPaper();
    settle();
    (window.requestIdleCallback || setTimeout)(() => downloads.loadDrawing().catch(() => {}));
}, 0);

const typed = (field) => field.name && field.type !== 'radio' && field.type !== 'checkbox';
document.addEventListener('input', (event) => {
    const field = event.target;
    if (field.name === 'geometry' || field.name === 'exact') {
        showNulls();
        settle();
        return;
    }
    if (!typed(field)) return;
    if (field.name === 'paper') state.paperChosen = true;
    clearCheck(field);
    showTyped();
    // From the keystroke to its values on the page, waiting included.
    timings.inputMs.push(performance.now() - event.timeStamp);
    clearTimeout(settleTimer);
    settleTimer = setTimeout(settle, PauseMs);
});
// Leaving a field that was changed judges it at once.
document.addEventListener('change', (event) => {
    if (typed(event.target) || event.target.name === 'geometry') settle();
});

const speed = wireSpeed(core, downloads, timings);
wireCalibration(core, PauseMs, settle);
wirePresets(defaults, settle);
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
    resizeTimer = setTimeout(() => {
        showAnalysis(core, fieldTexts());
        speed.resize();
    }, 150);
});
