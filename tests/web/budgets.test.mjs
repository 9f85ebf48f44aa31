// The page's time budgets in Debian's Chromium on a phone-sized screen with the CPU four times slower, apart from
// the other browser tests. They are benchmarks: each time is printed against its budget, and only a flow that did
// not finish, or a site too large, fails the test, since a loaded machine misses a wall-clock budget now and then.
import assert from 'node:assert/strict';
import { readdirSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, out, serveSite, site, throttle } from './support.mjs';
import { writeToneTake } from './tone-take.mjs';

let server;
let context;

before(async () => {
    server = await serveSite();
    // No routes: a routed request waits on the test's own process, which is not the page's time.
    context = await launchBrowser();
});

after(async () => {
    await context?.close();
    await server?.close();
});

test('budgets on a phone with the CPU four times slower, and the size of the site', async () => {
    const budget = { navigationToValuesMs: 800, keystrokeToValuesMs: 50, exactKeystrokeToValuesMs: 50,
                     clickToDownloadMs: 1000 };
    const best = Object.fromEntries(Object.keys(budget).map((k) => [k, Infinity]));
    const typed = async (page) => {
        const before = await page.evaluate(() => window.quillmereTimings.inputMs.length);
        await page.focus('#spindle-to-pivot');
        await page.keyboard.press('Control+A');
        await page.keyboard.type('215.25', { delay: 150 });
        return Math.max(...(await page.evaluate(() => window.quillmereTimings.inputMs)).slice(before));
    };
    // A loaded machine slows a single try: the best of a few is the page's own speed.
    for (let attempt = 0; attempt < 5 && Object.keys(budget).some((k) => best[k] >= budget[k]); attempt++) {
        const page = await context.newPage();
        await page.setViewportSize({ width: 390, height: 844 });
        await throttle(context, page, 4);
        // Polled slowly: a watcher of every change would take the slowed page's own time.
        await page.goto(server.url + '?preset=iec', { waitUntil: 'commit' });
        await page.waitForFunction(() => document.documentElement.dataset.drawing, null, { polling: 250 });
        const shown = await page.evaluate(() => window.quillmereTimings.valuesShownMs);
        const keystroke = await typed(page);
        await page.waitForFunction(() => window.quillmereTimings.settled >= 2);
        await Promise.all([page.waitForEvent('download'), page.click('button[data-printout="arc"]')]);
        const t = await page.evaluate(() => window.quillmereTimings);
        best.navigationToValuesMs = Math.min(best.navigationToValuesMs, shown);
        best.keystrokeToValuesMs = Math.min(best.keystrokeToValuesMs, keystroke);
        best.clickToDownloadMs = Math.min(best.clickToDownloadMs, t.clickMs.arc);
        // The slowest values to type into: Löfgren B solved exactly, its mean square integrated at every step.
        await page.check('input[name="geometry"][value="lofgren-b"]');
        await page.check('#exact');
        best.exactKeystrokeToValuesMs = Math.min(best.exactKeystrokeToValuesMs, await typed(page));
        await page.close();
    }
    const files = (folder) => readdirSync(folder, { withFileTypes: true })
        .flatMap((e) => (e.isDirectory() ? files(join(folder, e.name)) : [statSync(join(folder, e.name)).size]));
    const siteBytes = files(site).reduce((a, b) => a + b, 0);
    console.log(`# at 390x844, CPU 4x slower, best of tries; the site ${siteBytes} bytes`);
    for (const [what, limit] of Object.entries(budget)) {
        // Each flow ran to its end and the page timed it.
        assert.ok(Number.isFinite(best[what]) && best[what] >= 0, `${what} was not measured: ${best[what]}`);
        const verdict = best[what] < limit ? 'within' : 'OVER';
        console.log(`# ${what}: ${best[what].toFixed(1)} ms, ${verdict} its budget of ${limit} ms`);
    }
    assert.ok(siteBytes < 3e6, `site: ${siteBytes} bytes`);
});

test('speed on a phone with the CPU four times slower: a 60 s recording, and the microphone without dropouts', async () => {
    const file = writeToneTake(join(out, 'budget-60s.wav'), { errorPercent: -0.3, seconds: 60,
        modulations: [{ hz: 4, peakPercent: 0.05 }] });
    const budget = { sixtySecondFileMs: 3000 };
    let best = Infinity;
    for (let attempt = 0; attempt < 3 && best >= budget.sixtySecondFileMs; attempt++) {
        const page = await context.newPage();
        await page.setViewportSize({ width: 390, height: 844 });
        await throttle(context, page, 4);
        await page.goto(server.url);
        await page.waitForSelector('html[data-ready]');
        await page.setInputFiles('#speed-file', file);
        await page.waitForFunction(() => document.documentElement.dataset.speedDone, null,
            { polling: 250, timeout: 120000 });
        const report = JSON.parse(await page.evaluate(() => window.quillmereSpeedJson));
        // The flow ran to its end: a report, not a refusal.
        assert.deepEqual(report.refusals, []);
        best = Math.min(best, ...(await page.evaluate(() => window.quillmereTimings.speed.fileMs)));
        await page.close();
    }
    console.log(`# sixtySecondFileMs: ${best.toFixed(1)} ms, ${best < budget.sixtySecondFileMs ? 'within' : 'OVER'} ` +
        `its budget of ${budget.sixtySecondFileMs} ms`);

    const microphone = await launchBrowser({ args: ['--use-fake-ui-for-media-stream',
        '--use-fake-device-for-media-stream', `--use-file-for-fake-audio-capture=${file}`] });
    await microphone.grantPermissions(['microphone'], { origin: server.url });
    const page = await microphone.newPage();
    await page.setViewportSize({ width: 390, height: 844 });
    await throttle(microphone, page, 4);
    await page.goto(server.url);
    await page.waitForSelector('html[data-ready]');
    await page.click('#speed-microphone');
    await page.waitForTimeout(8000);
    const live = await page.evaluate(() => window.quillmereTimings.speed);
    await microphone.close();
    assert.ok(Number.isFinite(live.dropped), `the microphone gave no readings: ${JSON.stringify(live)}`);
    console.log(`# microphone at 4x slower: ${live.dropped} frames dropped in 8 s (budget 0), ` +
        `the figures changed ${live.liveChanges} times`);
});
