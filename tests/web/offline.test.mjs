// The installed site: its manifest and icons are there, and after one visit it reloads and makes every PDF with the
// server gone, as on a phone without network.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { join } from 'node:path';
import { asQuery, blockNetwork, launchBrowser, out, serveSite, toolLines, values } from './support.mjs';
import { writeToneTake } from './tone-take.mjs';

let server;
let context;
let outside;

before(async () => {
    server = await serveSite();
    context = await launchBrowser({ serviceWorkers: 'allow' });
    outside = await blockNetwork(context);
});

after(async () => {
    await context?.close();
    await server?.close();
    assert.deepEqual(outside, []);
});

// A PNG's width and height, from its header.
const pngSize = (bytes) => [bytes.readUInt32BE(16), bytes.readUInt32BE(20)];

test('installable: a manifest whose icons exist at their sizes, and nothing the page asks for is missing', async () => {
    const page = await context.newPage();
    const missing = [];
    page.on('response', (response) => response.status() >= 400 && missing.push(response.url()));
    await page.goto(server.url);
    await page.waitForSelector('html[data-ready]');
    const href = await page.getAttribute('link[rel="manifest"]', 'href');
    const manifest = await (await fetch(new URL(href, server.url))).json();
    assert.equal(manifest.display, 'standalone');
    assert.ok(manifest.name && manifest.short_name && manifest.start_url);
    const sizes = new Set();
    for (const icon of manifest.icons.filter((i) => i.type === 'image/png')) {
        const response = await fetch(new URL(icon.src, new URL(href, server.url)));
        assert.equal(response.status, 200, icon.src);
        const [width, height] = pngSize(Buffer.from(await response.arrayBuffer()));
        assert.equal(`${width}x${height}`, icon.sizes, icon.src);
        sizes.add(icon.sizes);
    }
    // What a phone needs to offer the installation.
    assert.ok(sizes.has('192x192') && sizes.has('512x512'), [...sizes].join(' '));
    await page.waitForLoadState('networkidle');
    assert.deepEqual(missing, []);
    await page.close();
});

test('after one visit the page reloads and makes every PDF without the server', async () => {
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await page.goto(server.url);
    await page.waitForSelector('html[data-ready]');
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 90000 });
    // The worker's cache is complete once it controls the page; the server then goes away.
    await server.close();
    const options = ['--preset', 'din', '--spindle-to-pivot', '231,5', '--geometry', 'stevenson-a'];
    const printouts = await page.$$eval('button[data-printout]', (buttons) => buttons.map((b) => b.dataset.printout));
    assert.ok(printouts.length >= 5, printouts.join(' '));
    // Each PDF from a fresh load (Chromium holds back a page's second download), of a shared link whose query the
    // worker has never seen: the page, not a file of that name.
    for (const printout of printouts) {
        await page.goto(server.url + asQuery(options) + '&speeds=78');
        await page.waitForSelector('html[data-ready]');
        assert.equal(await values(page), toolLines(options));
        await page.$eval('#custom-disk', (details) => { details.open = true; });
        const [download] = await Promise.all([page.waitForEvent('download'),
            page.click(`button[data-printout="${printout}"]`)]);
        assert.equal(await download.failure(), null, printout);
    }
    // The speed section's module is cached too, and measures a recording without the server.
    const cached = await page.evaluate(async () => (await Promise.all((await caches.keys())
        .map(async (name) => (await (await caches.open(name)).keys()).map((r) => new URL(r.url).pathname)))).flat());
    assert.ok(cached.includes('/speed.js'), cached.join(' '));
    await page.setInputFiles('#speed-file', writeToneTake(join(out, 'offline-take.wav'), { seconds: 20,
        errorPercent: 0.5 }));
    await page.waitForFunction(() => document.documentElement.dataset.speedDone, null, { timeout: 60000 });
    assert.deepEqual(JSON.parse(await page.evaluate(() => window.quillmereSpeedJson)).refusals, []);
    assert.deepEqual(errors, []);
    await page.close();
});
