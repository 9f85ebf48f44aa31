// The WebAssembly core under Node against the native Linux tool: the same ten lines for a grid of inputs, odd texts
// included. wasm32 carries long double as 128-bit IEEE and has its own C library, so any difference shows here.
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { spawnSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { core, tool } from './support.mjs';

const QuillmereCore = createRequire(import.meta.url)(core);

const distances = ['209', '222', '250', '0', '', '1e6', '-150', '223.456789', '12345678901234567890'];
const radii = [['57.5', '146.05'], ['60.325', '146.05'], ['63', '145'], ['146.05', '60.325'], ['60.325', '60.325'],
    ['0', '146.05'], ['', ''], ['57,5', '146.05 mm'], ['&H3C', '1.4605e2'], ['.5', '2.5D2'], ['abc', '+-1']];
const geometries = ['lofgren-a', 'lofgren-b', 'stevenson-a'];

test('the WebAssembly core prints the same values as the native tool', async () => {
    const wasm = await QuillmereCore();
    const differences = [];
    let cases = 0;
    for (const geometry of geometries) {
        for (const d of distances) {
            for (const [inner, outer] of radii) {
                const options = ['--geometry', geometry, '--spindle-to-pivot', d, '--inner-radius', inner,
                    '--outer-radius', outer, '--id', 'Deck ö 1'];
                const fields = { geometry, 'spindle-to-pivot': d, 'inner-radius': inner, 'outer-radius': outer,
                    id: 'Deck ö 1' };
                const report = JSON.parse(wasm.report(fields));
                const run = spawnSync(tool, ['values', ...options], { encoding: 'utf8' });
                cases++;
                // A refused setting: the page gives no values and the tool's first reason.
                const web = report.alignment ? report.alignment.lines.join('\n') : report.refusals[0]?.message;
                const native = run.status === 0 ? run.stdout.replace(/\n$/, '')
                    : run.stderr.replace(/^quillmere: /, '').replace(/ \(try .*\)\n$/, '');
                if (web !== native) differences.push({ options: options.join(' '), web, native });
            }
        }
    }
    console.log(`# ${cases} cases, ${differences.length} differences`);
    assert.deepEqual(differences, []);
});

test('warnings name the texts that do not read in full, as the tool does', async () => {
    const wasm = await QuillmereCore();
    const report = JSON.parse(wasm.report({ 'inner-radius': '57,5 mm', 'outer-radius': '146.05 ', 'correction-x': '1.01x' }));
    const read = report.warnings.filter((w) => w.code === 'partly-read');
    assert.deepEqual(read.map((w) => [w.field, report.settings[w.field].note]),
        [['inner-radius', '"57,5 mm" reads as 57.5'], ['correction-x', '"1.01x" reads as 1.01']]);
});

test('the analysis reads as `quillmere analyse` prints it', async () => {
    const wasm = await QuillmereCore();
    const cases = [[], ['--preset', 'iec', '--spindle-to-pivot', '222'],
        ['--preset', 'typical', '--offset-angle', '22', '--overhang', '16', '--rpm', '45'],
        ['--inner-radius', '146.05', '--outer-radius', '57,5'], ['--effective-length', '240', '--offset-angle', '23']];
    for (const options of cases) {
        const fields = {};
        for (let i = 0; i < options.length; i += 2) fields[options[i].slice(2)] = options[i + 1];
        const native = spawnSync(tool, ['analyse', ...options], { encoding: 'utf8' });
        const web = JSON.parse(wasm.analysis(fields));
        if (native.status === 0) {
            assert.equal(web.analysis.table, native.stdout, options.join(' '));
        } else {
            // Inputs the analysis refuses: the page shows the tool's reason.
            assert.ok(web.refusals.length && native.stderr.includes(web.refusals[0].message), options.join(' '));
        }
    }
});

test('the page-wide warnings are the ones `quillmere arc` and `quillmere strobe --speeds` give', async () => {
    const wasm = await QuillmereCore();
    const pageSettings = { paper: 'a4', margin: '20' };
    const messages = (command, settings) => {
        const report = JSON.parse(wasm.pageReport(command, { ...settings, ...pageSettings }));
        return report.warnings.concat(report.notes).map((w) => w.message);
    };
    const found = {
        arc: messages('arc', { 'spindle-to-pivot': '260' }),
        strobe: messages('strobe', { speeds: '33.33,45', mains: '50' }),
    };
    const page = ['--paper', 'a4', '--margin', '20', '-o', join(tmpdir(), 'quillmere-core-test.pdf')];
    const said = (args) => spawnSync(tool, args, { encoding: 'utf8' }).stderr.split('\n').filter((line) => line)
        .map((line) => line.replace(/^quillmere: (warning: )?/, '')).filter((line) => !line.startsWith('wrote '));
    assert.ok(found.arc.length > 1 && found.strobe.length > 1);
    assert.deepEqual(found.arc, said(['arc', '--spindle-to-pivot', '260', ...page]));
    assert.deepEqual(found.strobe, said(['strobe', '--speeds', '33.33,45', '--mains', '50', ...page]));
    // A speed the tool refuses is refused with its reason.
    const refused = JSON.parse(wasm.pageReport('strobe', { speeds: '0' })).refusals[0].message;
    assert.ok(refused !== '' && said(['strobe', '--speeds', '0'])[0].includes(refused), refused);
});
