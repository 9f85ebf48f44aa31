// One set of rules for every form: a generated table of settings through the WebAssembly core and through the
// native tool, which must answer with the very same JSON text, refusals and warnings included.
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { core, tool } from './support.mjs';

const QuillmereCore = createRequire(import.meta.url)(core);

// A small seeded generator, so the table is the same on every run.
function generator(seed) {
    return () => {
        seed = (seed + 0x6d2b79f5) | 0;
        let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

const odd = ['', ' ', 'abc', '57,5', '-0', '1e9999', '&H3C', '+-1', '2.5D2', '12345678901234567890', '0', '-5', 'ö'];
const speeds = ['33 1/3', '33,3', '78,45', '33.33,78', '33,3+45', '331/3', '45 rpm+78', '33.3333333', '8', '7.99', '300',
    '301', '16,67', 'abc', '', '78+45+33', '33,45,78', '16 2/3 RPM'];
const counts = ['216', '180', '200', '0', '10000', '10001', '-1', '57,5', 'abc', 'inf', 'nan', '', '160.5', '1e9999'];
const colours = ['0,0,128,255,255,200', '1,2', '', 'a,b,c,d,e,f', '255,255,255,255,255,255', '300,0,0,0x10,255,255',
    '1,2,3,4,5,6,7', '255,255,0,255,255,255', '0,0,128', '200,200,200,255,255,255'];
const pools = {
    'spindle-to-pivot': ['209', '222', '250', '222.5', '300', '150', '401', '40', ...odd],
    'inner-radius': ['57.5', '60.325', '63', '146.05', '60,325', ...odd],
    'outer-radius': ['146.05', '145', '60.325', '146.05 mm', ...odd],
    preset: ['din', 'IEC', 'Typical', 'iec ', 'jis', '', '7-inch', '10 Inch', 'lp'],
    geometry: ['lofgren-a', 'Lofgren B', 'stevenson_a', 'Löfgren A', 'baerwald', 'stevenson', '', 'uni-din',
        'UNI DIN'],
    'correction-x': ['1.0', '1.00705', '0.5', '1.2', 'x1', ...odd],
    'correction-y': ['1.0', '0.99', '2', '', 'abc'],
    id: ['My deck', 'Deck ö 1', '', 'x'.repeat(60), '日本語 arm'],
    'effective-length': ['239', '239.3', '500', '150', '0', '-1', '240,5', 'abc'],
    overhang: ['17.3', '18', '-222', '0', '16,5', '', '239'],
    'offset-angle': ['23', '22.98', '24', '90', '-95', 'abc', ''],
    rpm: ['45', '33.333', '78', '0', '45x', '', ...speeds],
    velocity: ['100', '70', '0', '-3', 'fast'],
    paper: ['a4', 'letter', 'A4', 'a3', 'tabloid', 'Legal', 'b4'],
    dpi: ['600', '300', '72', '71', '2401', 'abc', '600.0'],
    margin: ['4.23', '0', '3', '50', '51', '-1', 'abc', '', '4,23', '50,01'],
    colours,
    strict: [''],
    exact: [''],
    nulls: ['66,120.9', '66.0;120.9', '66,0,120,9', '66,5,120', '120.9,66', '0;100', '70 116', '50;120', 'abc',
        '66;300'],
    speeds,
    mains: ['60', '50', '50 Hz', '60hz', '55'],
    'outer-bars': counts,
    'inner-bars': counts,
    caption1: ['MY DISK', '', 'ö'],
    caption2: ['x'],
    'effective-mass': ['11', '6', '25,5', '0', '-3', '120', 'abc', ''],
    'cartridge-mass': ['6.5', '10', '0', '5,8', 'x'],
    'extra-mass': ['0', '1.2', '-1', '0,5', ''],
    compliance: ['15', '8', '35', '12,5', '0', 'abc'],
    'compliance-at': ['10', '100', '100 Hz', '50', ''],
    'rake-change': ['1', '-0.5', '2,5', '45', '90', 'abc'],
};
// The texts a user types that the tool once misread: decimal commas, and IDs it cannot show or must not echo.
const typedPools = {
    ...pools,
    'spindle-to-pivot': ['222,5', '209', '222.5', '250,0', ',5', '1,234', '222,5 mm', '-222,5'],
    'inner-radius': ['57,5', '60,325', '57.5', '63', '57,5,0', '5,75e1'],
    'outer-radius': ['146,05', '146.05', '145', '146,05mm'],
    'correction-x': ['1,00705', '0,99', '1.0', '1,2'],
    id: ['line\nbreak', 'esc \u001b[31m red', 'עברית 😀', 'x'.repeat(41), 'x'.repeat(40), 'tab\there', 'Löfgren €'],
};
const valuesOptions = ['spindle-to-pivot', 'inner-radius', 'outer-radius', 'preset', 'geometry', 'correction-x',
    'correction-y', 'id', 'strict', 'nulls', 'exact'];
const analyseOptions = ['spindle-to-pivot', 'inner-radius', 'outer-radius', 'preset', 'correction-x', 'correction-y',
    'id', 'effective-length', 'overhang', 'offset-angle', 'rpm', 'velocity', 'paper', 'dpi', 'margin', 'colours',
    'strict', 'geometry', 'nulls', 'exact'];
const strobeOptions = ['speeds', 'mains', 'outer-bars', 'inner-bars', 'caption1', 'caption2', 'correction-x',
    'correction-y', 'paper', 'margin', 'colours', 'strict'];

const matchOptions = ['effective-mass', 'cartridge-mass', 'extra-mass', 'compliance', 'compliance-at',
    'effective-length', 'rake-change', 'strict'];

function table(options, count, seed, from = pools) {
    const random = generator(seed);
    const rows = [{}];
    for (const name of options) {
        rows.push({ [name]: from[name][0] });
    }
    while (rows.length < count) {
        const row = {};
        for (const name of options) {
            if (random() < 0.3) {
                const pool = from[name];
                row[name] = pool[Math.floor(random() * pool.length)];
            }
        }
        rows.push(row);
    }
    return rows;
}

function native(command, settings, extra = []) {
    const args = [command, ...extra];
    for (const [name, text] of Object.entries(settings)) {
        args.push(name === 'strict' || name === 'exact' ? `--${name}` : `--${name}=${text}`);
    }
    // The page always names its paper; the tool's default follows the machine, so it is set here.
    return spawnSync(tool, args, { encoding: 'utf8', env: { ...process.env, PAPERSIZE: 'letter' } });
}

// The draws the generated rows are made of: a choice from a list, a decimal text, and now and then a decimal comma.
function draws(seed) {
    const random = generator(seed);
    return {
        random,
        pick: (list) => list[Math.floor(random() * list.length)],
        decimal: (low, high, places) => (low + random() * (high - low)).toFixed(places),
        comma: (text) => (random() < 0.15 ? text.replace('.', ',') : text),
    };
}

// Arms as users give them: a spindle-to-pivot distance off a data sheet or measured to a tenth, the arm by its
// effective length or by its overhang, an offset angle of a real headshell; now and then a decimal comma, another
// speed, custom or exact null points, and the odd ones people try: an arm shorter than its distance, an angle of 0
// or beyond 90, a 16-inch arm, an overhang larger than the arm.
function userArms(count, seed) {
    const { random, pick, decimal, comma } = draws(seed);
    const rows = [];
    while (rows.length < count) {
        const row = {};
        const d = Number(decimal(195, 310, pick([0, 1, 1, 2])));
        const overhang = Number(decimal(11, 22, pick([1, 2])));
        const kind = random();
        if (kind < 0.9) {
            row['spindle-to-pivot'] = comma(String(d));
            if (random() < 0.5) row['effective-length'] = comma((d + overhang).toFixed(pick([1, 2])));
            else row.overhang = comma(String(overhang));
            row['offset-angle'] = comma(decimal(17, 27, pick([0, 1, 2])));
        } else {
            // The odd ones.
            Object.assign(row, pick([
                { 'spindle-to-pivot': String(d), 'effective-length': String(d - 5), 'offset-angle': '22' },
                { 'spindle-to-pivot': String(d), overhang: '15', 'offset-angle': '0' },
                { 'spindle-to-pivot': String(d), overhang: '15', 'offset-angle': '95' },
                { 'spindle-to-pivot': '390', 'effective-length': '406', 'offset-angle': '14.5' },
                { 'spindle-to-pivot': String(d), overhang: String(-d - 1), 'offset-angle': '20' },
                { 'effective-length': '239', 'offset-angle': '24' },
                { 'spindle-to-pivot': String(d), overhang: '15' },
                { 'spindle-to-pivot': '100', 'effective-length': '120', 'offset-angle': '30' },
            ]));
        }
        if (random() < 0.3) row.preset = pick(['din', 'iec', 'typical']);
        if (random() < 0.2) row.geometry = pick(['lofgren-b', 'stevenson-a', 'baerwald']);
        else if (random() < 0.1) row.nulls = pick(['66,120.9', '70.3;116.6', '60;125', '50;140']);
        if (random() < 0.15) row.exact = '';
        if (random() < 0.15) row.rpm = pick(['45', '78', '33,3', '16 2/3']);
        if (random() < 0.05) row.velocity = pick(['70', '140']);
        rows.push(row);
    }
    return rows;
}

// Arms and cartridges off their data sheets: the three figures of the resonance mostly all given, now and then at
// 100 Hz or with a decimal comma, the height for a rake change now and then; and the odd one left out.
function cartridges(count, seed) {
    const { random, pick, decimal, comma } = draws(seed);
    const rows = [];
    while (rows.length < count) {
        const row = {};
        if (random() < 0.85) {
            for (const [name, low, high, places] of [['effective-mass', 4, 30, 1], ['cartridge-mass', 3, 14, 1],
                ['compliance', 5, 40, pick([0, 1])]]) {
                if (random() < 0.96) row[name] = comma(decimal(low, high, places));
            }
            if (random() < 0.4) row['extra-mass'] = comma(decimal(0, 4, 1));
            if (random() < 0.3) row['compliance-at'] = pick(['100', '10', '100hz']);
        }
        if (random() < 0.35) {
            row['rake-change'] = comma(decimal(-3, 3, pick([1, 2])));
            if (random() < 0.9) row['effective-length'] = comma(decimal(210, 310, 1));
        }
        if (random() < 0.05) row.strict = '';
        rows.push(row);
    }
    return rows;
}

test('the page and the tool give the same report for every setting of a generated table', async () => {
    const wasm = await QuillmereCore();
    const differences = [];
    const seen = { cases: 0, refused: 0, warned: 0, advised: 0, matched: 0 };
    const options = new Set();
    for (const [command, names, count, call, seed, from] of [
        ['values', valuesOptions, 300, (s) => wasm.report(s), 6, pools],
        ['analyse', analyseOptions, 260, (s) => wasm.analysis(s), 7, pools],
        ['values', valuesOptions, 100, (s) => wasm.report(s), 11, typedPools],
        ['analyse', null, 1000, (s) => wasm.analysis(s), 12, null],
        ['match', matchOptions, 150, (s) => wasm.match(s), 13, pools],
        ['match', null, 300, (s) => wasm.match(s), 14, cartridges],
    ]) {
        const rows = names ? table(names, count, seed, from) : (from ?? userArms)(count, seed);
        for (const row of rows) {
            const settings = { ...row, format: 'json' };
            const run = native(command, settings);
            const page = call(settings);
            seen.cases++;
            Object.keys(settings).forEach((name) => options.add(name));
            const report = JSON.parse(page);
            seen.refused += report.refusals.length > 0 ? 1 : 0;
            seen.warned += report.warnings.length > 0 ? 1 : 0;
            seen.advised += (report.analysis && report.analysis.inputs.arm ? 1 : 0);
            seen.matched += report.match && report.match.verdict ? 1 : 0;
            // The tool's exit code says what the report says.
            const expectedStatus = report.refusals.length || ('strict' in settings && report.warnings.length) ? 2 : 0;
            if (run.stdout !== page || run.status !== expectedStatus) {
                // The first line that differs says more than the whole texts.
                const toolLines = run.stdout.split('\n');
                const pageLines = page.split('\n');
                const at = toolLines.findIndex((line, i) => line !== pageLines[i]);
                differences.push({ command, settings, status: run.status, stderr: run.stderr.slice(0, 200),
                    line: at, tool: toolLines[at], page: pageLines[at] });
            }
        }
    }
    // The disk's report has no JSON form in the tool: its refusal, warnings and notes, as the tool words them on
    // standard error, stand for it.
    const folder = mkdtempSync(join(tmpdir(), 'quillmere-strobe-'));
    for (const settings of table(strobeOptions, 140, 6)) {
        const report = JSON.parse(wasm.pageReport('strobe', settings));
        const run = native('strobe', settings, ['--format', 'svg', '-o', join(folder, 'disk.svg')]);
        seen.cases++;
        Object.keys(settings).forEach((name) => options.add(name));
        seen.refused += report.refusals.length > 0 ? 1 : 0;
        seen.warned += report.warnings.length > 0 ? 1 : 0;
        const stopped = 'strict' in settings && report.warnings.length > 0;
        const said = report.refusals.length
            ? [`quillmere: ${report.refusals[0].message} (try 'quillmere strobe --help')`]
            : report.warnings.map((w) => `quillmere: warning: ${w.message}`)
                .concat(stopped ? [] : report.notes.map((n) => `quillmere: ${n.message}`));
        const expectedStatus = report.refusals.length || stopped ? 2 : 0;
        const lines = run.stderr.split('\n').slice(0, said.length);
        if (JSON.stringify(lines) !== JSON.stringify(said) || run.status !== expectedStatus) {
            differences.push({ command: 'strobe', settings, status: run.status, tool: run.stderr.slice(0, 400), page: said });
        }
    }
    rmSync(folder, { recursive: true, force: true });
    // Which figure differs first, and by how much, says more than the count alone.
    const byKey = {};
    for (const d of differences) {
        const key = /"(\w+)":/.exec(d.tool ?? '')?.[1] ?? d.command;
        const gap = Math.abs(parseFloat(/: (-?[\d.e+-]+)/.exec(d.tool ?? '')?.[1]) -
            parseFloat(/: (-?[\d.e+-]+)/.exec(d.page ?? '')?.[1]));
        byKey[key] = { count: (byKey[key]?.count ?? 0) + 1, largest: Math.max(byKey[key]?.largest ?? 0, gap || 0) };
    }
    console.log(`# ${seen.cases} settings, ${seen.refused} refused, ${seen.warned} with warnings, ` +
        `${differences.length} differences: ${JSON.stringify(byKey)}`);
    assert.deepEqual(differences.slice(0, 8), []);
    assert.ok(seen.cases >= 1600 && seen.refused >= 80 && seen.warned >= 100, JSON.stringify(seen));
    // Most of the users' arms are analysed, their advice included, not refused.
    assert.ok(seen.advised >= 800, JSON.stringify(seen));
    // Most of the cartridges are judged, not refused.
    assert.ok(seen.matched >= 200, JSON.stringify(seen));
    // Every option of the four commands was given somewhere (the chart's file and printer aside).
    const all = new Set(valuesOptions.concat(analyseOptions, strobeOptions, matchOptions));
    assert.deepEqual([...all].filter((name) => !options.has(name)), []);
});
