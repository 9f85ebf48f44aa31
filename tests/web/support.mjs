// What the browser tests share: the site served on 127.0.0.1, Debian's Chromium driven by playwright-core, and the
// Linux tool to compare with.
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';

const repo = fileURLToPath(new URL('../..', import.meta.url));
export const site = process.env.QUILLMERE_SITE || join(repo, 'build/web/site');
export const tool = process.env.QUILLMERE_TOOL || join(repo, 'build/linux/quillmere');
export const out = process.env.QUILLMERE_WEB_OUT || join(repo, 'build/web/test-output');
export const core = process.env.QUILLMERE_CORE || join(site, 'quillmere-core.js');
mkdirSync(out, { recursive: true });
if (!existsSync(join(site, 'index.html'))) {
    throw new Error(`no site in ${site}: build it first with scripts/build-web.sh`);
}

// playwright-core is the site's own development package, installed beside it.
const { chromium } = createRequire(join(repo, 'web/package.json'))('playwright-core');

const Types = {
    '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.png': 'image/png', '.svg': 'image/svg+xml',
    '.webmanifest': 'application/manifest+json',
};

// A static server for the site folder on an ephemeral loopback port.
export async function serveSite() {
    // Kept in memory and sent whole, as a static host does: the page's timings are then the page's, not the disk's.
    const files = new Map();
    const server = createServer((request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^\/+/, '');
        const file = join(site, path || 'index.html');
        if (!file.startsWith(site) || !existsSync(file) || !statSync(file).isFile()) {
            response.writeHead(404).end();
            return;
        }
        if (!files.has(file)) files.set(file, readFileSync(file));
        const body = files.get(file);
        response.writeHead(200, { 'Content-Type': Types[extname(file)] || 'application/octet-stream',
            'Content-Length': body.length });
        response.end(body);
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    // Closing drops the open connections too: the server is gone at once, as when a phone loses its network.
    const close = () => new Promise((resolve) => {
        server.close(resolve);
        server.closeAllConnections();
    });
    return { url: `http://127.0.0.1:${server.address().port}/`, close };
}

// Debian's Chromium, never a downloaded one, with a fresh profile and nothing that phones home.
// Service workers only where a test asks for them: a worker answers from its cache, past the routes of a test that
// makes a file fail to load.
// A locale ("es-CL") sets the browser's language, as a user's settings do.
// Extra Chromium arguments (`args`) stand in for devices: a WAV file as the microphone.
export async function launchBrowser({ serviceWorkers = 'block', locale = undefined, args = [] } = {}) {
    return chromium.launchPersistentContext(mkdtempSync(join(tmpdir(), 'quillmere-chromium-')), {
        serviceWorkers,
        ...(locale ? { locale } : {}),
        executablePath: '/usr/bin/chromium',
        headless: true,
        acceptDownloads: true,
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync', ...args],
    });
}

// Every request a page makes that leaves the machine is refused and remembered.
export async function blockNetwork(context) {
    const outside = [];
    await context.route('**/*', (route) => {
        const url = new URL(route.request().url());
        if (['file:', 'data:', 'blob:'].includes(url.protocol) || url.hostname === '127.0.0.1') {
            return route.continue();
        }
        outside.push(url.href);
        return route.abort();
    });
    return outside;
}

// `quillmere values` with the options; its standard output without the final line feed.
export function toolValues(options) {
    return execFileSync(tool, ['values', ...options], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] })
        .replace(/\n$/, '');
}

// The page's values table as the Linux tool's lines, without the padding the ID's line carries there.
export const values = (page) => page.$$eval('#values tr', (rows) =>
    rows.map((row) => `${row.cells[0].textContent} = ${row.cells[1].textContent}`.trimEnd()).join('\n'));
export const toolLines = (options) => toolValues(options).split('\n').map((line) => line.trimEnd()).join('\n');

// The warnings `quillmere values` gives for the options, without their "quillmere: warning: " prefix.
export function toolWarnings(options) {
    const run = spawnSync(tool, ['values', ...options], { encoding: 'utf8' });
    return run.stderr.split('\n').filter((line) => line.startsWith('quillmere: warning: '))
        .map((line) => line.slice('quillmere: warning: '.length));
}

export function runTool(args) {
    execFileSync(tool, args, { stdio: 'ignore' });
}

// Options as a page query and as the Linux tool's arguments.
export function asQuery(options) {
    const query = new URLSearchParams();
    for (let i = 0; i < options.length; i += 2) query.set(options[i].replace(/^--/, ''), options[i + 1]);
    return '?' + query.toString();
}

// The first thing the Linux tool says on standard error for the arguments, without its "quillmere: " prefix: its
// refusal, or the line after writing a page.
export function toolSays(args, starting = '') {
    const run = spawnSync(tool, args, { encoding: 'utf8' });
    return run.stderr.split('\n').map((line) => line.replace(/^quillmere: (error: )?/, '').replace(/ \(try '.*'\)$/, ''))
        .find((line) => line.startsWith(starting));
}

// The CPU of a page made `rate` times slower, as DevTools does it.
export async function throttle(context, page, rate) {
    const session = await context.newCDPSession(page);
    await session.send('Emulation.setCPUThrottlingRate', { rate });
}

// axe-core, the site's development package, loaded into the page.
export const axePath = createRequire(join(repo, 'web/package.json')).resolve('axe-core/axe.min.js');
