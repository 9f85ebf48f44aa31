// The page's speed section in Debian's Chromium: a recording opened as a file gives the JSON report of
// `quillmere speed --format json`, the microphone (Chromium's fake device playing a WAV the test writes) gives
// live readings several times a second and a final report on the recording's truth, and the gyroscope's readings
// (devicemotion events of a known rate and wobble) give the platter's speed.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { axePath, blockNetwork, launchBrowser, out, serveSite, tool } from './support.mjs';
import { writeToneTake } from './tone-take.mjs';

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
    assert.deepEqual(outside, []);
});

async function open(browser = context, query = '') {
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await page.goto(server.url + query);
    await page.waitForSelector('html[data-ready]');
    page.errors = errors;
    return page;
}

const rows = (page) => page.$$eval('#speed-results tr', (trs) => trs.map((tr) => [tr.cells[0].textContent,
    tr.cells[1].textContent]));
// A figure of a row as a number: the page's minus sign is U+2212.
const figure = (text) => Number(text.replace('\u2212', '-').match(/[-+]?\d+(\.\d+)?/)[0]);
const done = (page, count) => page.waitForFunction((n) => Number(document.documentElement.dataset.speedDone) >= n,
    count, { timeout: 120000 });

const takes = [
    ['slow 0.4 %, 4 Hz flutter, 16-bit mono', { errorPercent: -0.4, modulations: [{ hz: 4, peakPercent: 0.05 }],
        leadInSeconds: 1, seconds: 22 }, []],
    ['fast 1.2 %, once per revolution, float stereo at 44.1 kHz', { rate: 44100, channels: 2, format: 'float',
        errorPercent: 1.2, modulations: [{ hz: 100 / 3 / 60, peakPercent: 0.1 }], seconds: 24 }, []],
    ['3000 Hz at 45 rpm, 10 Hz flutter, the speed given', { toneHz: 3000, errorPercent: 0.6,
        modulations: [{ hz: 10, peakPercent: 0.03 }], seconds: 16 }, ['--rpm', '45']],
    ['too short', { seconds: 5 }, []],
];

test('a recording opened as a file gives the JSON report of `quillmere speed`, rows first the four figures', async () => {
    const page = await open();
    for (const [name, take, options] of takes) {
        const file = writeToneTake(join(out, `speed-${name.replace(/\W+/g, '-')}.wav`), take);
        // A refused take too: the tool exits with 2, its report on standard output.
        const json = spawnSync(tool, ['speed', '--format', 'json', ...options, file], { encoding: 'utf8' }).stdout;
        const before = Number(await page.evaluate(() => document.documentElement.dataset.speedDone || 0));
        await page.selectOption('#speed-rpm', options[0] === '--rpm' ? options[1] : '');
        const started = Date.now();
        await page.setInputFiles('#speed-file', file);
        await done(page, before + 1);
        console.log(`# ${name}: measured in ${Date.now() - started} ms`);
        assert.equal(await page.evaluate(() => window.quillmereSpeedJson), json, name);
        const report = JSON.parse(json);
        if (report.refusals.length) {
            assert.equal(await page.textContent('#speed-status'), report.refusals[0].message, name);
            assert.deepEqual(await rows(page), [], name);
            continue;
        }
        assert.ok(Math.abs(report.speed.error_percent - take.errorPercent) < 0.005, `${name}: ${json}`);
        const shown = await rows(page);
        assert.deepEqual(shown.slice(0, 4).map((r) => r[0]), ['Speed error', 'Platter speed',
            'Weighted wow and flutter (2σ)', 'Unweighted wow and flutter (2σ)'], name);
        assert.equal(figure(shown[0][1]), Math.round(report.speed.error_percent * 100) / 100, name);
        assert.ok(shown.some((r) => r[0] === 'What to do'), name);
        assert.equal(await page.locator('#speed-chart svg').count(), 3, name);
        assert.match(await page.textContent('#speed-trace-text'), /^The speed deviation from/);
    }
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('the section with results at phone and laptop widths, light and dark: nothing wider, described, axe', async () => {
    const file = writeToneTake(join(out, 'speed-screenshot.wav'), { errorPercent: -0.4, seconds: 24,
        modulations: [{ hz: 100 / 3 / 60, peakPercent: 0.08 }, { hz: 6, peakPercent: 0.02 }] });
    for (const [name, width, scheme] of [['phone', 390, 'light'], ['phone-dark', 390, 'dark'],
        ['desktop', 1280, 'light']]) {
        const page = await open();
        await page.setViewportSize({ width, height: 900 });
        await page.emulateMedia({ colorScheme: scheme });
        await page.setInputFiles('#speed-file', file);
        await done(page, 1);
        await page.locator('#speed-section').screenshot({ path: join(out, `speed-${name}.png`) });
        const seen = await page.evaluate(() => ({
            overflow: document.documentElement.scrollWidth - window.innerWidth,
            images: [...document.querySelectorAll('#speed-chart svg')].map((svg) => svg.getAttribute('aria-label')),
            exposed: [...document.querySelectorAll('#speed-chart svg *')].filter((e) => !e.closest('[aria-hidden="true"]')).length,
            chartWidth: document.querySelector('#speed-chart svg').getBoundingClientRect().width,
        }));
        assert.ok(seen.overflow <= 0, `${name}: ${seen.overflow} px wider than the screen`);
        assert.equal(seen.images.length, 3, name);
        for (const label of seen.images) assert.match(label, /\. The speed deviation from .* s of the recording/, name);
        assert.equal(seen.exposed, 0, name);
        assert.ok(seen.chartWidth > width * 0.6, `${name}: chart ${seen.chartWidth} px`);
        // By keyboard: from the file input on to the PDF of the chart.
        await page.focus('#speed-file');
        const order = [];
        for (let i = 0; i < 3; i++) {
            await page.keyboard.press('Tab');
            order.push(await page.evaluate(() => document.activeElement.id));
        }
        assert.deepEqual(order, ['speed-microphone', 'speed-gyro', 'speed-pdf'], name);
        await page.addScriptTag({ path: axePath });
        const violations = await page.evaluate(async () => {
            const result = await axe.run(document.getElementById('speed-section'),
                { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] } });
            return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
        });
        assert.deepEqual(violations, [], name);
        if (name === 'desktop') {
            const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Enter')]);
            assert.equal(download.suggestedFilename(), 'quillmere-speed.pdf');
            await download.saveAs(join(out, 'speed-chart.pdf'));
        }
        assert.deepEqual(page.errors, []);
        await page.close();
    }
});

test('the microphone: live readings several times a second, then the report of the take on its truth', async (t) => {
    // 45 rpm, so that eight whole revolutions take less time; the fake device loops the file.
    const truth = { errorPercent: -0.8, modulations: [{ hz: 4, peakPercent: 0.06 }], seconds: 40, toneHz: 3150 };
    const file = writeToneTake(join(out, 'speed-microphone.wav'), truth);
    const browser = await launchBrowser({ args: ['--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream',
        `--use-file-for-fake-audio-capture=${file}`] });
    await browser.grantPermissions(['microphone'], { origin: server.url });
    t.after(() => browser.close());
    const page = await open(browser);
    await page.selectOption('#speed-rpm', '45');
    await page.click('text=Measure with the microphone');
    await page.waitForSelector('#speed-stop:not([hidden])');
    assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Stop');
    // The readings as the page shows them (figures, status, trace), every 50 ms, for 16 s.
    const seen = [];
    const started = Date.now();
    while (Date.now() - started < 16000) {
        seen.push(await page.evaluate(() => [Date.now(), JSON.stringify([...document.querySelectorAll('#speed-results tr')]
            .map((tr) => [tr.cells[0].textContent, tr.cells[1].textContent])),
            document.getElementById('speed-status').textContent, document.getElementById('speed-chart').innerHTML]));
        await page.waitForTimeout(50);
    }
    const measuring = seen.filter(([, shown]) => shown.includes('Speed error'));
    assert.ok(measuring.length > 0, seen.at(-1)[2]);
    const span = (measuring.at(-1)[0] - measuring[0][0]) / 1000;
    const changed = (k) => measuring.filter((s, i) => i > 0 && s[k] !== measuring[i - 1][k]).length;
    const updates = measuring.filter((s, i) => i > 0 && s.slice(1).join() !== measuring[i - 1].slice(1).join()).length;
    console.log(`# live readings over ${span.toFixed(1)} s of measuring: ${updates} updates, the figures changed ` +
        `${changed(1)} times, the trace ${changed(3)} times`);
    assert.ok(updates / span >= 4, `${updates} updates in ${span} s`);
    assert.ok(changed(3) / span >= 4, `the trace changed ${changed(3)} times in ${span} s`);
    // The figures themselves may hold still once they settle, to the digits shown; the trace moves on.
    const last = JSON.parse(measuring.at(-1)[1]);
    assert.ok(Math.abs(figure(last[0][1]) - truth.errorPercent) < 0.03, last[0][1]);
    assert.ok((await page.textContent('#speed-spoken')).startsWith('Speed error'));
    await page.click('text=Stop');
    await done(page, 1);
    const report = JSON.parse(await page.evaluate(() => window.quillmereSpeedJson));
    assert.deepEqual(report.refusals, [], JSON.stringify(report));
    const weighted = truth.modulations[0].peakPercent / (1 + truth.errorPercent / 100);
    console.log(`# microphone: ${report.speed.error_percent} % (truth ${truth.errorPercent}), weighted ` +
        `${report.speed.weighted_2sigma_percent} % (truth ${weighted.toFixed(4)}), at ${report.speed.sample_rate_hz} Hz`);
    assert.ok(Math.abs(report.speed.error_percent - truth.errorPercent) < 0.02, JSON.stringify(report.speed));
    assert.ok(Math.abs(report.speed.weighted_2sigma_percent - weighted) < 0.1 * weighted, JSON.stringify(report.speed));
    assert.equal(report.speed.nominal_rpm, 45);
    assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Measure with the microphone');
    assert.deepEqual(page.errors, []);
});

test('the microphone refused says what to do', async (t) => {
    const browser = await launchBrowser({ args: ['--use-fake-device-for-media-stream'] });
    t.after(() => browser.close());
    const page = await open(browser);
    await page.evaluate(() => {
        navigator.mediaDevices.getUserMedia = () => Promise.reject(new DOMException('denied', 'NotAllowedError'));
    });
    await page.click('text=Measure with the microphone');
    await page.waitForFunction(() => document.getElementById('speed-status').textContent.includes('refused'));
    assert.match(await page.textContent('#speed-status'), /^The microphone was refused: allow it/);
});

test('the phone on the platter: devicemotion of a known rate and wobble gives the platter speed', async () => {
    const page = await open();
    // In front, as the page a user holds: Chromium slows the timers of a page behind others.
    await page.bringToFront();
    await page.click('text=Phone on the platter');
    // Listening once it says so; the browser may first have asked for permission.
    await page.waitForFunction(() => document.getElementById('speed-status').textContent.startsWith('Waiting for'));
    const heard = page.evaluate(() => new Promise((resolve) => window.addEventListener('devicemotion',
        (e) => resolve([e.rotationRate?.alpha, e.interval]), { once: true })));
    // 30 s at 100 readings a second, laid down after 2 s; slow by 1.2 %, swinging 1 % once per revolution.
    await page.evaluate(() => {
        let angle = 0;
        for (let i = 0; i < 3200; i++) {
            const down = i >= 200;
            const rate = down ? 200 * (1 - 0.012) * (1 + 0.01 * Math.sin((angle * Math.PI) / 180)) : 20;
            if (down) angle += rate / 100;
            window.dispatchEvent(new DeviceMotionEvent('devicemotion',
                { rotationRate: { alpha: -rate, beta: 0, gamma: 0 }, interval: 10 }));
        }
    });
    assert.deepEqual(await heard, [-20, 10]);
    await page.waitForFunction(() => document.getElementById('speed-status').textContent.startsWith('Turning'), null,
        { timeout: 10000 }).catch(() => {});
    assert.match(await page.textContent('#speed-status'), /^Turning: 16 whole revolutions in 30 s/);
    await page.click('text=Stop');
    await done(page, 1);
    const shown = Object.fromEntries(await rows(page));
    assert.ok(Math.abs(figure(shown['Platter speed']) - 100 / 3 * (1 - 0.012)) < 0.01, shown['Platter speed']);
    assert.equal(shown['Speed error'], '\u22121.2 % against 33 1/3');
    assert.ok(Math.abs(figure(shown['Variation within a revolution']) - 1) < 0.05, shown['Variation within a revolution']);
    assert.match(await page.textContent('#speed-accuracy'), /gyroscope has its own scale error/);
    assert.deepEqual(page.errors, []);
    await page.close();
});
