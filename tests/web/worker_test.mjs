// The page's service worker as a host that lets browsers cache (max-age=3600)
// deploys it, in Debian's Chromium, headless: it answers only for its build's
// files; a new build reaches a returning visitor by the second load, with the
// new build's bytes alone in its cache, and a tab left open is offered it; a
// half-uploaded build is never installed; two builds on one site each keep
// working offline.
// Usage: node worker_test.mjs WEB_BUILD_FOLDER SOURCE_FOLDER
import assert from 'node:assert/strict';
import { after, test } from 'node:test';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';

const [site, source] = process.argv.slice(2);
const scratch = mkdtempSync(join(tmpdir(), 'lincell-worker-'));

// A build of the page like the one in `site`, told apart by a marker in its page;
// with `worker_of`, the service worker of that other build instead of its own.
function build(name, worker_of = null) {
  const folder = join(scratch, name);
  cpSync(site, folder, { recursive: true });
  const page = readFileSync(join(folder, 'index.html'), 'utf8');
  writeFileSync(join(folder, 'index.html'), page.replace('<head>', `<head>\n<meta name="build" content="${name}">`));
  execFileSync('cmake', [`-DDIR=${folder}`, `-DTEMPLATE=${join(source, 'web/sw.js.in')}`, '-P',
                         join(source, 'web/make_service_worker.cmake')]);
  if (worker_of)
    cpSync(join(scratch, worker_of, 'sw.js'), join(folder, 'sw.js'));
  return folder;
}
const builds = { A: build('A'), B: build('B'), C: build('C') };
builds.half = build('half', 'C'); // C's worker over another build's files: an upload under way

// The host: /a/ and /b/ each serve a build, every answer cacheable for an hour
// (or, for the offline test, not at all).
const deployed = { a: builds.A, b: builds.A };
let cache_control = 'max-age=3600';
let network_down = false; // every connection dropped, for the worker's fetches too
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png' };
const server = createServer((request, response) => {
  if (network_down)
    return request.socket.destroy();
  const path = new URL(request.url, 'http://x').pathname;
  const [, where, rest] = /^\/([ab])\/(.*)$/.exec(path) || [];
  try {
    const file = normalize(join(deployed[where], rest || 'index.html'));
    const body = readFileSync(file);
    response.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream',
                              'Cache-Control': cache_control });
    response.end(body);
  } catch {
    response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not here');
  }
});
await new Promise((done) => server.listen(0, '127.0.0.1', done));
const host = `http://127.0.0.1:${server.address().port}`;
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
after(async () => {
  await browser.close();
  server.close();
  rmSync(scratch, { recursive: true, force: true });
});

const marker = (page) => page.evaluate(() => document.querySelector('meta[name=build]')?.content);
const running = (page) => page.waitForFunction(() => window.lincell?.frame > 2, { timeout: 20000 });
// Open `path` in `context` and wait until the worker controls it.
async function visit(context, path) {
  const page = await context.newPage();
  await page.goto(host + path);
  await page.evaluate(() => navigator.serviceWorker.ready);
  if (!(await page.evaluate(() => navigator.serviceWorker.controller !== null)))
    await page.reload();
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await running(page);
  return page;
}
const look_for_update = (page) => page.evaluate(() =>
  navigator.serviceWorker.getRegistration().then((r) => r.update()).catch((e) => String(e)));
// The worker's caches for `scope`, each with the page it holds.
const caches_of = (page, scope) => page.evaluate(async (s) => {
  const found = {};
  for (const name of await caches.keys())
    if (name.startsWith(`lincell ${s} `))
      found[name] = await (await (await caches.open(name)).match(new URL('index.html', s))).text();
  return found;
}, host + scope);

test('only the build\'s own files are answered from the cache', async () => {
  const context = await browser.createBrowserContext();
  const page = await visit(context, '/a/#seed=1');
  const other = await page.goto(`${host}/a/other.html`);
  assert.equal(other.status(), 404, 'a page of the site that is not the toy\'s goes to the network');
  assert.equal(await page.evaluate(() => document.body.textContent), 'not here');
  await context.close();
});

test('a new build reaches a returning visitor, and an open tab is offered it', async () => {
  deployed.a = builds.A;
  const context = await browser.createBrowserContext();
  const page = await visit(context, '/a/#seed=2');
  assert.equal(await marker(page), 'A');
  deployed.a = builds.B; // deployed while the tab is open, its files in the HTTP cache as A's
  await look_for_update(page);
  await page.waitForFunction(() => !document.getElementById('update').hidden, { timeout: 20000 });
  await page.reload();
  await running(page);
  assert.equal(await marker(page), 'B', 'the second load is the new build');
  const cached = await caches_of(page, '/a/');
  assert.equal(Object.keys(cached).length, 1, 'the old build\'s cache is gone');
  assert.match(Object.values(cached)[0], /content="B"/, 'and the new one holds the new build\'s bytes');

  // A half-uploaded build (C's worker, another build's files) is never installed.
  deployed.a = builds.half;
  await look_for_update(page);
  await page.waitForFunction(() => navigator.serviceWorker.getRegistration().then((r) => !r.installing),
                             { polling: 100, timeout: 20000 });
  await page.reload();
  await running(page);
  assert.equal(await marker(page), 'B', 'still the whole build');
  assert.deepEqual(Object.keys(await caches_of(page, '/a/')), Object.keys(cached));
  await context.close();
});

test('two builds on one site each keep working offline', async () => {
  cache_control = 'no-store'; // with no network, only the worker's caches can answer
  deployed.a = builds.B;
  deployed.b = builds.A;
  const context = await browser.createBrowserContext();
  const a = await visit(context, '/a/#seed=3');
  const b = await visit(context, '/b/#seed=4');
  network_down = true;
  for (const [page, path, name] of [[a, '/a/#seed=5', 'B'], [b, '/b/#seed=6', 'A']]) {
    await page.bringToFront();
    await page.goto(host + path);
    await page.reload();
    await running(page);
    assert.equal(await marker(page), name, `${path} offline`);
  }
  network_down = false;
  await context.close();
});
