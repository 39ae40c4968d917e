// The web page in Debian's Chromium, headless: it loads cleanly, its canvas is the
// recorder's frame pixel for pixel (keys held included, replayed by the recorder),
// Esc ends the run, no key sticks when the page loses the focus, bad addresses are
// noted and ignored, the buttons act while pressed, and reduced motion starts paused.
// Usage: node page_test.mjs WEB_BUILD_FOLDER LINCELL_RECORD
import assert from 'node:assert/strict';
import { after, test } from 'node:test';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';

const [site, recorder] = process.argv.slice(2);
const scratch = mkdtempSync(join(tmpdir(), 'lincell-web-'));
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = createServer((request, response) => {
  const path = normalize(join(site, new URL(request.url, 'http://x').pathname.replace(/\/$/, '/index.html')));
  try {
    const body = readFileSync(path);
    response.writeHead(200, { 'Content-Type': types[extname(path)] || 'application/octet-stream' });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((done) => server.listen(0, '127.0.0.1', done));
const address = `http://127.0.0.1:${server.address().port}/`;
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--disable-background-timer-throttling', '--disable-renderer-backgrounding'],
});
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
after(async () => {
  await browser.close();
  server.close();
  rmSync(scratch, { recursive: true, force: true });
});

// The page at `hash`, its console errors collected; resolves once the toy has started.
async function open(hash, prepare = async () => {}) {
  const page = await browser.newPage();
  page.errors = [];
  page.on('console', (m) => m.type() === 'error' && page.errors.push(m.text()));
  page.on('pageerror', (e) => page.errors.push(String(e)));
  await page.setViewport({ width: 1024, height: 900 });
  await prepare(page);
  await page.goto(address + hash);
  await page.waitForFunction(() => window.lincell && window.lincell.state !== 'starting');
  return page;
}

const run_of = (page) => page.evaluate(() => ({ ...window.lincell, times: undefined }));
const until = (page, test, arg) => page.waitForFunction(test, { timeout: 20000 }, arg);

// Press with `down`, hold 300 ms, let go with `up`: the run as it then stands.
async function hold(page, down, up) {
  await down();
  await sleep(300);
  await up();
  return run_of(page);
}

// The canvas's pixels as RGB bytes.
async function canvas_rgb(page) {
  const text = await page.evaluate(() => {
    const data = document.getElementById('world').getContext('2d').getImageData(0, 0, 800, 600).data;
    let s = '';
    for (let i = 0; i < data.length; i += 4)
      s += String.fromCharCode(data[i], data[i + 1], data[i + 2]);
    return s;
  });
  return Buffer.from(text, 'latin1');
}

// The recorder's picture of frame `frames` of `seed` with the holds given, as RGB bytes.
function recorded_rgb(seed, frames, holds = []) {
  const out = join(scratch, `s${seed}-f${frames}-${holds.length}`);
  execFileSync(recorder, ['--seed', String(seed), '--frames', String(frames), '--out', out,
                          ...holds.flatMap((h) => ['--hold', h])]);
  const name = execFileSync('sh', ['-c', `ls ${out}/frame-*.png`]).toString().trim();
  return execFileSync('convert', [name, '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 24 });
}

function count_differences(a, b) {
  let n = 0;
  for (let i = 0; i < a.length; i += 3)
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2])
      n++;
  return n;
}

// The frames a page ran with keys held, as the recorder's --hold arguments.
function holds_of(held) {
  const letters = (bits) => (bits & 1 ? 'c' : '') + (bits & 2 ? 'n' : '') + (bits & 4 ? 'm' : '');
  return held.map(([frame, bits]) => `${letters(bits)}@${frame}`);
}

test('pinned seeds: the canvas is the recorder\'s frame, caption included', async () => {
  // Seed 2 at frame 8 shows the watch's second reseed, the first world of its own rule.
  for (const [seed, frames] of [[1, 1], [2, 8], [2, 60], [4294967295, 25], [7, 200]]) {
    const page = await open(`#seed=${seed}&frames=${frames}`);
    await until(page, () => window.lincell.state === 'done');
    const run = await run_of(page);
    assert.equal(run.frame, frames);
    assert.deepEqual(page.errors, []);
    assert.equal(count_differences(await canvas_rgb(page), recorded_rgb(seed, frames)), 0,
                 `seed ${seed}, frame ${frames}`);
    if (seed === 2 && frames === 8)
      assert.equal(run.watch, 2, 'the watch asked for two reseeds by frame 8');
    await page.close();
  }
});

test('keys held act every frame, as the recorder replays them; Esc ends the run', async () => {
  const page = await open('#seed=9');
  await until(page, () => window.lincell.frame >= 20);
  for (const [key, field] of [['C', 'colors'], ['N', 'worlds'], ['M', 'nudges']]) {
    const before = await run_of(page);
    const after = await hold(page, () => page.keyboard.down(key), () => page.keyboard.up(key));
    assert.ok(after[field] - before[field] >= 5, `${key} acted on the frames it was held`);
    for (const other of ['colors', 'nudges'].filter((f) => f !== field))
      assert.equal(after[other], before[other], `${key} did not act as another key`);
  }
  await sleep(100);
  await page.keyboard.press('Escape');
  await until(page, () => window.lincell.state === 'ended');
  const run = await run_of(page);
  await sleep(200);
  assert.equal((await run_of(page)).frame, run.frame, 'no frame runs after Esc');
  assert.equal(count_differences(await canvas_rgb(page), recorded_rgb(9, run.frame, holds_of(run.held))), 0);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a key held while the page loses the focus is released', async () => {
  const page = await open('#seed=3');
  await page.keyboard.down('c');
  await sleep(200);
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  const then = (await run_of(page)).colors;
  await sleep(300);
  assert.ok(then > 0 && (await run_of(page)).colors === then, 'C stopped acting at the blur');
  await page.keyboard.up('c');
  await page.close();
});

test('bad seeds are noted and ignored; the clock\'s seed goes into the address', async () => {
  for (const hash of ['#seed=abc', '#seed=-1', '#seed=4294967296', '#seed=', '#seed=1e3',
                      '#seed=99999999999999999999', '#frames=5', '#seed=5&frames=x']) {
    const page = await open(hash);
    const note = await page.$eval('#note', (n) => (n.hidden ? '' : n.textContent));
    assert.match(note, /ignored/, hash);
    const run = await run_of(page);
    assert.equal(run.state, 'running', hash);
    if (hash.startsWith('#seed=5'))
      assert.equal(run.seed, 5);
    else
      assert.equal(await page.evaluate(() => location.hash), `#seed=${run.seed}`, hash);
    await page.close();
  }
});

test('the buttons act while pressed, by mouse and by touch', async () => {
  const page = await open('#seed=11');
  const press = {
    mouse: [(x, y) => page.mouse.move(x, y).then(() => page.mouse.down()), () => page.mouse.up()],
    finger: [(x, y) => page.touchscreen.touchStart(x, y), () => page.touchscreen.touchEnd()],
  };
  for (const [key, field, by] of [['1', 'colors', 'mouse'], ['4', 'nudges', 'finger']]) {
    const box = await (await page.$(`button[data-key="${key}"]`)).boundingBox();
    const [down, up] = press[by];
    const count = (await hold(page, () => down(box.x + box.width / 2, box.y + box.height / 2), up))[field];
    assert.ok(count >= 5, `${field} acted while the ${by} held its button`);
    await sleep(200);
    assert.equal((await run_of(page))[field], count, `${field} stopped when the ${by} let go`);
  }
  await page.click('#run');
  await until(page, () => window.lincell.state === 'ended');
  await page.click('#run');
  await until(page, () => window.lincell.state === 'running' && window.lincell.frame > 2);
  await page.close();
});

test('reduced motion: the toy starts paused and runs when asked', async () => {
  const page = await open('#seed=1', (p) =>
    p.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]));
  await sleep(300);
  const run = await run_of(page);
  assert.equal(run.state, 'paused');
  assert.equal(run.frame, 0);
  await page.click('#run');
  await until(page, () => window.lincell.frame > 5);
  await page.close();
});

test('a frame\'s time, the picture put on the canvas included (reported, not judged)', async () => {
  const page = await open('#seed=2&frames=400');
  await until(page, () => window.lincell.state === 'done');
  const times = (await page.evaluate(() => window.lincell.times)).sort((a, b) => a - b);
  const at = (q) => times[Math.floor(q * (times.length - 1))].toFixed(2);
  console.log(`     ${times.length} frames: median ${at(0.5)} ms, 90th percentile ${at(0.9)} ms`);
  await page.close();
});
