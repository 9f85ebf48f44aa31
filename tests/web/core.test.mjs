// The WebAssembly core under Node against the native Linux tool: the same ten lines for a grid of inputs, odd texts
// included. wasm32 carries long double as 128-bit IEEE and has its own C library, so any difference shows here.
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { core, toolValues } from './support.mjs';

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
                const web = wasm.values(fields).text;
                const native = toolValues(options);
                cases++;
                if (web !== native) differences.push({ options: options.join(' '), web, native });
            }
        }
    }
    console.log(`# ${cases} cases, ${differences.length} differences`);
    assert.deepEqual(differences, []);
});

test('warnings name the texts that do not read in full, as the tool does', async () => {
    const wasm = await QuillmereCore();
    const { warnings } = wasm.values({ 'inner-radius': '57,5', 'outer-radius': '146.05 ', 'correction-x': 'x1' });
    assert.deepEqual(warnings.map((w) => [w.field, w.readsAs]), [['inner-radius', '57'], ['correction-x', '0']]);
});
