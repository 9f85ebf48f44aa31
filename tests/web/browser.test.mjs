// The site in Debian's Chromium: values as the Linux tool prints them, presets, shared links, the downloads (saved
// beside the Linux tool's pages for the measuring test), timings, and screenshots to look at.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import {
    asQuery, blockNetwork, launchBrowser, out, runTool, serveSite, site, toolValues, toolWarnings,
} from './support.mjs';

let server;
let context;
let outside;

before(async () => {
    server = await serveSite();
    context = await launchBrowser();
    outside = await blockNetwork(context);
});

after(async () => {
    await context?.close();
    await server?.close();
    // Nothing the page did after loading went beyond this machine.
    assert.deepEqual(outside, []);
});

async function open(query = '', base = server.url) {
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await page.goto(base + query);
    await page.waitForSelector('html[data-ready]');
    page.errors = errors;
    return page;
}

const values = (page) => page.textContent('#values');

const shared = [
    ['--spindle-to-pivot', '222', '--preset', 'iec', '--geometry', 'lofgren-b', '--id', 'My deck'],
    ['--inner-radius', '57,5', '--outer-radius', '146.05 mm', '--geometry', 'stevenson-a'],
    ['--spindle-to-pivot', '&HD0', '--correction-x', '1.01', '--id', 'Ä very long identifier of more than forty chars'],
    ['--spindle-to-pivot', '', '--preset', 'typical', '--inner-radius', '2.5D1'],
    ['--preset', 'din', '--spindle-to-pivot', '1e400', '--outer-radius', '-0'],
];

test('a shared link fills the fields and shows the values of `quillmere values`', async () => {
    for (const options of shared) {
        const page = await open(asQuery(options));
        assert.equal(await values(page), toolValues(options), options.join(' '));
        assert.deepEqual(page.errors, []);
        await page.close();
    }
});

test('typed texts, presets and the geometry give the values of `quillmere values`', async () => {
    const page = await open();
    assert.equal(await values(page), toolValues([]));
    const typed = [
        ['spindle-to-pivot', '231.5', ['--spindle-to-pivot', '231.5']],
        ['inner-radius', '57,5', ['--inner-radius', '57,5']],
        ['outer-radius', 'abc', ['--outer-radius', 'abc']],
        ['correction-y', '  .98', ['--correction-y', '  .98']],
        ['id', 'Garrard 301 / SME', ['--id', 'Garrard 301 / SME']],
    ];
    const options = [];
    for (const [field, text, option] of typed) {
        await page.fill('#' + field, '');
        await page.type('#' + field, text);
        options.push(...option);
        assert.equal(await values(page), toolValues(options), field);
    }
    // The note is the settings layer's, worded as the Linux tool words it.
    assert.equal(await page.textContent('#inner-radius-note'), '"57,5" reads as 57.5 (a decimal comma)');
    for (const preset of ['typical', 'iec', 'din']) {
        await page.click(`button[data-preset="${preset}"]`);
        for (const geometry of ['stevenson-a', 'lofgren-b', 'lofgren-a']) {
            await page.check(`input[name="geometry"][value="${geometry}"]`);
            const expected = toolValues([...options, '--preset', preset, '--geometry', geometry]
                .filter((_, i, all) => !['--inner-radius', '--outer-radius'].includes(all[i - (i % 2)])));
            assert.equal(await values(page), expected, `${preset} ${geometry}`);
        }
    }
    // The address now holds the setup: opened again, it shows the same.
    const again = await open('', page.url());
    assert.equal(await values(again), await values(page));
    await again.close();
    await page.close();
});

test('an implausible length is warned of beside its field in the Linux tool\'s words', async () => {
    const page = await open();
    await page.fill('#spindle-to-pivot', '');
    await page.type('#spindle-to-pivot', '500');
    const wanted = toolWarnings(['--spindle-to-pivot', '500']);
    assert.equal(wanted.length, 1);
    assert.equal(await page.textContent('#spindle-to-pivot-check'), wanted[0]);
    assert.equal(await page.getAttribute('#spindle-to-pivot', 'aria-invalid'), 'true');
    await page.fill('#spindle-to-pivot', '230');
    assert.equal(await page.textContent('#spindle-to-pivot-check'), '');
    await page.close();
});

test('the keyboard alone reaches the fields, the presets and the downloads', async () => {
    const page = await open();
    await page.focus('#spindle-to-pivot');
    await page.keyboard.press('Control+A');
    await page.keyboard.type('222');
    for (let i = 0; i < 3; i++) await page.keyboard.press('Tab'); // inner, outer, then the first preset
    assert.equal(await page.evaluate(() => document.activeElement.dataset.preset), 'din');
    await page.keyboard.press('Tab');
    await page.keyboard.press('Enter'); // IEC
    assert.equal(await values(page), toolValues(['--spindle-to-pivot', '222', '--preset', 'iec']));
    const labelled = await page.evaluate(() =>
        [...document.querySelectorAll('input, select')].filter((e) => e.labels.length === 0).map((e) => e.id));
    assert.deepEqual(labelled, []);
    await page.close();
});

// Each download beside the Linux tool's page for the same inputs; tests/web/web_pages_test.cpp measures both.
const downloads = [
    { name: 'arc-letter', printout: 'arc', query: '?spindle-to-pivot=222&preset=iec&id=My%20deck&paper=letter',
      args: ['arc', '--spindle-to-pivot', '222', '--preset', 'iec', '--id', 'My deck', '--paper', 'letter'] },
    { name: 'arc-a4', printout: 'arc', query: '?geometry=stevenson-a&correction-y=0.99&paper=a4&margin=3',
      args: ['arc', '--geometry', 'stevenson-a', '--correction-y', '0.99', '--paper', 'a4', '--margin', '3'] },
    { name: 'strobe-60', printout: 'strobe-60', query: '?paper=letter', args: ['strobe', '--paper', 'letter'] },
    { name: 'strobe-50', printout: 'strobe-50', query: '?paper=a4', args: ['strobe', '--mains', '50', '--paper', 'a4'] },
    { name: 'strobe-custom', printout: 'strobe-custom',
      query: '?paper=a4&outer-bars=200&inner-bars=148&caption1=33%201%2F3%20RPM%20-%2055.6%20HZ&caption2=148%20BARS',
      args: ['strobe', '--paper', 'a4', '--outer-bars', '200', '--inner-bars', '148', '--caption1',
             '33 1/3 RPM - 55.6 HZ', '--caption2', '148 BARS'] },
    { name: 'strobe-speeds', printout: 'strobe-custom', query: '?paper=letter&speeds=78&mains=50',
      args: ['strobe', '--paper', 'letter', '--speeds', '78', '--mains', '50'] },
    { name: 'chart', printout: 'chart', query: '?preset=iec&spindle-to-pivot=222&offset-angle=22&overhang=16&paper=letter',
      args: ['analyse', '--preset', 'iec', '--spindle-to-pivot', '222', '--offset-angle', '22', '--overhang', '16',
             '--paper', 'letter'] },
];

test('every download is a PDF, saved beside the Linux tool\'s page for the same inputs', async () => {
    const made = {};
    for (const d of downloads) {
        const page = await open(d.query);
        await page.waitForSelector('html[data-drawing]');
        if (d.printout === 'strobe-custom' && !(await page.$('#custom-disk[open]'))) {
            await page.click('#custom-disk summary');
        }
        const [download] = await Promise.all([page.waitForEvent('download'),
            page.click(`button[data-printout="${d.printout}"]`)]);
        await download.saveAs(join(out, `web-${d.name}.pdf`));
        runTool([...d.args, '-o', join(out, `tool-${d.name}.pdf`)]);
        made[d.name] = await page.evaluate((p) => window.quillmereTimings.pdfMs[p], d.printout);
        assert.deepEqual(page.errors, []);
        await page.close();
    }
    const text = execFileSync('pdftotext', [join(out, 'web-chart.pdf'), '-'], { encoding: 'utf8' });
    for (const wanted of ['Tracking error (degrees)', 'Distortion (%)', 'Groove radius (mm)', 'Your arm']) {
        assert.ok(text.includes(wanted), wanted);
    }
    // The speeds disk's captions and drift note, as the Linux tool prints them.
    const words = (name) => execFileSync('pdftotext', [join(out, name), '-'], { encoding: 'utf8' })
        .split(/\s+/).filter((w) => w).join(' ');
    const disk = words('tool-strobe-speeds.pdf');
    assert.ok(disk.includes('78 RPM - 50 HZ'), disk);
    assert.equal(words('web-strobe-speeds.pdf'), disk);
    console.log('# PDF made in ms:', JSON.stringify(made));
    assert.ok(made['arc-letter'] < 300, `arc template PDF in ${made['arc-letter']} ms`);
});

test('values within 500 ms of navigation, served and from disk; typing never waits for the preview', async () => {
    const timings = {};
    for (const [how, base] of [['served', server.url], ['disk', pathToFileURL(join(site, 'index.html')).href]]) {
        const page = await open('?preset=iec', base);
        assert.equal(await values(page), toolValues(['--preset', 'iec']), how);
        timings[how] = await page.evaluate(() => window.quillmereTimings.valuesShownMs);
        if (how === 'served') {
            // Typed at a person's pace, so the analysis, the chart and the preview are drawn between the keys.
            await page.waitForSelector('html[data-drawn]');
            await page.focus('#spindle-to-pivot');
            await page.keyboard.press('Control+A');
            await page.keyboard.type('215.25', { delay: 120 });
            await page.waitForFunction(() => window.quillmereTimings.previewMs.length > 2);
            const t = await page.evaluate(() => window.quillmereTimings);
            timings.keystrokeToValuesMs = Math.max(...t.inputMs);
            timings.longestDrawingStepMs = t.stepMs;
            timings.previews = t.previewMs.length;
            assert.equal(await values(page), toolValues(['--preset', 'iec', '--spindle-to-pivot', '215.25']));
            assert.ok(timings.keystrokeToValuesMs < 50, `values ${timings.keystrokeToValuesMs} ms after a keystroke`);
            const chart = await page.textContent('#chart svg');
            assert.match(chart, /Tracking error and distortion across the record/);
        }
        assert.ok(timings[how] < 500, `${how}: values ${timings[how]} ms after navigation`);
        await page.close();
    }
    console.log('# timings in ms:', JSON.stringify(timings));
});

test('screenshots at phone and desktop widths', async () => {
    for (const [name, width, height] of [['phone', 390, 844], ['desktop', 1280, 900]]) {
        const page = await open('?spindle-to-pivot=222&preset=iec&id=My%20deck&inner-radius=57%2C5');
        await page.setViewportSize({ width, height });
        await page.waitForSelector('#preview svg');
        await page.screenshot({ path: join(out, `${name}.png`) });
        // Nothing runs off the side of a phone.
        const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
        assert.ok(overflow <= 0, `${name}: ${overflow} px wider than the screen`);
        await page.close();
    }
});
