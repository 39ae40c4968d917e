// The web page in Debian's Chromium, headless: its canvas is the recorder's frame
// pixel for pixel; its address replays the run, keys included, and so does the
// recorder given the same holds; every press acts, by key, button, click() or
// keyboard; keys go by their letter; one frame loop at most 60 generations a
// second whatever the address or the screen does; Esc ends the run; the layout
// fits every screen; reduced motion starts on a still; a long link is worked out
// beside the page; the picture saves as the recorder's frame, and a clip as its
// frames; the page installs and runs offline.
// Usage: node page_test.mjs WEB_BUILD_FOLDER LINCELL_RECORD
import assert from 'node:assert/strict';
import { after, test } from 'node:test';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';

const [site, recorder] = process.argv.slice(2);
const scratch = mkdtempSync(join(tmpdir(), 'lincell-web-'));
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png' };
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
// The flash guard is off, as these tests count every frame's key, unless `guard`.
async function open(hash, prepare = async () => {}, guard = false) {
  const page = await browser.newPage();
  page.errors = [];
  page.on('console', (m) => m.type() === 'error' && page.errors.push(m.text()));
  page.on('pageerror', (e) => page.errors.push(String(e)));
  await page.setViewport({ width: 1024, height: 900 });
  await page.evaluateOnNewDocument((on) => { // once a tab: a reload keeps what the page remembered
    if (!sessionStorage.getItem('test-guard-set'))
      localStorage.setItem('lincell-flash-guard', on ? 'on' : 'off'), sessionStorage.setItem('test-guard-set', '1');
  }, guard);
  await prepare(page);
  await page.goto(address + hash);
  await page.waitForFunction(() => window.lincell && window.lincell.state !== 'starting');
  return page;
}

// The page at `hash` as open() opens it, but waited on by the clock.
async function open_paced(hash, prepare) {
  const page = await browser.newPage();
  await prepare(page);
  await page.goto(address + hash);
  await page.waitForFunction(() => window.lincell && window.lincell.state !== 'starting', { polling: 50 });
  return page;
}

const run_of = (page) => page.evaluate(() => ({ ...window.lincell, times: undefined }));
const until = (page, test, arg) => page.waitForFunction(test, { timeout: 20000 }, arg).catch(async (e) => {
  const state = await page.evaluate(() => `${window.lincell?.state} at frame ${window.lincell?.frame} (focus on ${document.activeElement?.id || document.activeElement?.tagName}): ` +
                                          document.getElementById('status').textContent).catch(() => '');
  throw new Error(`${e.message}; the page: ${state}`);
});

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
  execFileSync(recorder, ['--seed', String(seed), '--frames', String(frames), '--out', out, '--overwrite',
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

// The run's canvas against the recorder's frame with the holds its address carries.
async function matches_recorder(page) {
  const run = await run_of(page);
  const holds = run.holds ? run.holds.split(',') : [];
  return count_differences(await canvas_rgb(page), recorded_rgb(run.seed, run.frame, holds));
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

test('the address replays the run: N, C and M held and tapped, reopened and recorded', async () => {
  const page = await open('#seed=9');
  await until(page, () => window.lincell.frame >= 20);
  for (const [key, field] of [['N', 'reseed'], ['C', 'recolor'], ['M', 'mutate']]) {
    const before = await run_of(page);
    const after = await hold(page, () => page.keyboard.down(key), () => page.keyboard.up(key));
    assert.ok(after[field] - before[field] >= 5, `${key} acted on the frames it was held`);
    for (const other of ['recolor', 'mutate'].filter((f) => f !== field))
      assert.equal(after[other], before[other], `${key} did not act as another key`);
    await page.keyboard.press(key); // a tap
    await sleep(100);
  }
  await page.keyboard.press('Space');
  await until(page, () => window.lincell.state === 'paused');
  const run = await run_of(page);
  const hash = await page.evaluate(() => location.hash);
  assert.match(hash, /^#seed=9&run=[A-Za-z0-9_-]+$/, 'the address carries the holds, in the compact code');
  assert.equal(hash, `#seed=9&run=${run.code}`);
  assert.equal(await matches_recorder(page), 0, 'the recorder given the same holds');
  const canvas = await canvas_rgb(page);
  const again = await open(`${hash}&frames=${run.frame}`);
  await until(again, () => window.lincell.state === 'done');
  assert.equal(count_differences(await canvas_rgb(again), canvas), 0, 'the link reopened');
  assert.deepEqual(page.errors, []);
  assert.deepEqual(again.errors, []);
  await again.close();

  // Share: the link to this very moment, and the recorder's command line for it,
  // which renders the very frame.
  await page.click('#share');
  const link = await page.$eval('#share-link', (i) => i.value);
  assert.ok(link.endsWith(`#seed=9&run=${run.code}&frames=${run.frame}`), link);
  const command = await page.$eval('#share-command', (i) => i.value);
  assert.equal(command, `lincell-record --link '${link}' --video lincell-9-${run.frame}.mp4`);
  const out = join(scratch, 'by-link');
  execFileSync(recorder, ['--link', link, '--out', out]);
  const name = execFileSync('sh', ['-c', `ls ${out}/frame-*.png`]).toString().trim();
  assert.ok(name.endsWith(`frame-${String(run.frame).padStart(5, '0')}.png`), name);
  assert.equal(count_differences(canvas, execFileSync('convert', [name, '-depth', '8', 'rgb:-'],
                                                                   { maxBuffer: 1 << 24 })), 0);
  // Esc ends the run; no frame runs after it. (Space would work Share's button, which has the focus.)
  await page.keyboard.press('p');
  await until(page, () => window.lincell.state === 'running');
  await page.keyboard.press('Escape');
  await until(page, () => window.lincell.state === 'ended');
  const ended = (await run_of(page)).frame;
  await sleep(200);
  assert.equal((await run_of(page)).frame, ended, 'no frame runs after Esc');
  await page.close();
});

test('a shared link opens on its frame at once, paused; Start runs on', async () => {
  const page = await open('#seed=2&hold=m@100-3000,c@3000&frames=3600');
  await until(page, () => window.lincell.state === 'done');
  const run = await run_of(page);
  const took = run.shown_at - run.started_at;
  console.log(`     3,600 frames worked out and shown in ${took.toFixed(0)} ms`);
  assert.ok(took < 10000, `${took} ms`); // paced as shown frames, it would take a minute
  assert.equal(await matches_recorder(page), 0);
  assert.match(await page.title(), /seed 2, frame 3600/);
  await page.keyboard.press('.');
  await page.keyboard.press('ArrowRight');
  await until(page, () => window.lincell.frame === 3602 && window.lincell.state === 'paused');
  assert.equal(await matches_recorder(page), 0, 'two steps, each a frame');
  await page.click('#run');
  await until(page, () => window.lincell.frame > 3605);
  const long = await open('#seed=3&frames=10000000');
  await sleep(400);
  assert.match(await long.$eval('#status', (s) => s.textContent), /working out frame [0-9]+ of 10000000/);
  await long.close();
  const bad = await open('#seed=3&hold=x@5,c@2');
  assert.match(await bad.$eval('#note', (n) => n.textContent), /hold= is not understood .*ignored/);
  await bad.close();
  // A run keeps 16,384 holds: one more is said, in the link and on the page.
  const presses = (n) => Array.from({ length: n }, (_, i) => `C@${2 * i + 1000}`).join(',');
  const too_many = await open(`#seed=3&hold=${presses(16385)}`);
  assert.match(await too_many.$eval('#note', (n) => n.textContent), /more holds than a run can keep/);
  await too_many.close();
  const full = await open(`#seed=3&hold=${presses(16384)}`);
  await until(full, () => window.lincell.frame > 5);
  await full.keyboard.press('m');
  await until(full, () => !document.getElementById('note').hidden);
  assert.match(await full.$eval('#note', (n) => n.textContent), /more key presses than a link can carry/);
  await full.close();
  await page.close();
});

test('one frame loop at most 60 generations a second, whatever the address or the screen', async () => {
  // Screens of 144, 60 and 50 Hz on a clock of the test's own: the page's time
  // passes by the screen's frames alone, however fast or loaded the machine is.
  for (const hz of [144, 60, 50]) {
    const screen = await open_paced('#seed=3', (p) => p.evaluateOnNewDocument((rate) => {
      window.synthetic_now = 0;
      window.frames_asked = 0;
      window.requestAnimationFrame = (f) => (window.frames_asked++, setTimeout(() => f(window.synthetic_now += 1000 / rate), 1));
    }, hz));
    // (waited on by the clock, not by animation frames, which would be the page's clock too)
    const wait = (test, arg) => screen.waitForFunction(test, { polling: 50, timeout: 20000 }, arg);
    const rate = async () => {
      const at = () => screen.evaluate(() => [window.synthetic_now, window.lincell.frame]);
      const [t0, f0] = await at();
      await wait((t) => window.synthetic_now > t + 10000, t0);
      const [t1, f1] = await at();
      return ((f1 - f0) * 1000) / (t1 - t0);
    };
    await wait(() => window.lincell.frame > 10);
    const first = await rate();
    console.log(`     on a ${hz} Hz screen: ${first.toFixed(2)} generations a second`);
    assert.ok(first <= Math.min(hz, 60) + 0.15 && first >= Math.min(hz, 60) - 0.5, `${hz} Hz: ${first}`);
    if (hz === 60) {
      // Two edits of the address: still the one loop, at the same pace.
      await screen.evaluate(() => { location.hash = '#seed=4'; });
      await screen.evaluate(() => { location.hash = '#seed=5'; });
      await wait(() => window.lincell.seed === 5 && window.lincell.frame > 10);
      const later = await rate();
      assert.ok(Math.abs(later - first) < 0.2, `${first} then ${later} after two edits`);
      // Paused, the page asks for no frames at all.
      await screen.keyboard.press('p');
      await wait(() => window.lincell.state === 'paused');
      const asked = await screen.evaluate(() => window.frames_asked);
      await sleep(500);
      assert.ok(await screen.evaluate(() => window.frames_asked) - asked <= 1, 'frames asked while paused');
    }
    await screen.close();
  }
});

test('the address never runs what it does not say, and never loses what it said', async () => {
  // A NUL inside hold= refuses the whole list, and says why.
  const nul = await open('#seed=1&hold=N@5%00,C@6&frames=10');
  await until(nul, () => window.lincell.state === 'done');
  assert.match(await nul.$eval('#note', (n) => n.textContent), /hold= is not understood \(.*NUL/);
  assert.equal(count_differences(await canvas_rgb(nul), recorded_rgb(1, 10)), 0, 'no hold ran');
  await nul.close();
  // A name given twice, a typo and an escaped & are said, and kept in the address.
  const odd = await open('#seed=1&hold=C@2&hold=N@3&hodl=M@4&amp;frames=9');
  const said = await odd.$eval('#note', (n) => n.textContent);
  for (const part of [/hold= is given twice/, /"hodl=M@4" is not understood/, /"amp;frames=9" is not understood/])
    assert.match(said, part);
  await odd.keyboard.press('c');
  await sleep(300);
  const hash = await odd.evaluate(() => location.hash);
  for (const part of ['hold=N@3', 'hodl=M@4', 'amp;frames=9'])
    assert.ok(hash.includes(part), `${part} kept in ${hash}`);
  await odd.close();
  // A run that ends with Esc before the link's frame shows the last frame it ran.
  const ended = await open('#seed=9&hold=esc@78&frames=80');
  await until(ended, () => window.lincell.state === 'ended');
  assert.equal((await run_of(ended)).frame, 77);
  assert.equal(count_differences(await canvas_rgb(ended), recorded_rgb(9, 77)), 0, 'frame 77 shown');
  await ended.close();
  // The command line is the core's own holds, quoted: hidden text never reaches it.
  const holds = Array.from({ length: 3000 }, (_, i) => `M@${i * 3 + 1}`).join(',');
  const hidden = await open(`#seed=4&hold=${holds}%00\`>PWN\`&frames=5`);
  await until(hidden, () => window.lincell.state === 'done');
  await hidden.click('#share');
  const command = await hidden.$eval('#share-command', (i) => i.value);
  assert.ok(!/PWN|`/.test(command), command.slice(-80));
  await hidden.close();
  // A long link: progress with the time left, keys and Share ignored, Esc stops it at once.
  const long = await open('#seed=2&frames=10000000');
  await until(long, () => /s left/.test(document.getElementById('status').textContent));
  await long.keyboard.press('c');
  await long.click('#share');
  assert.equal(await long.$eval('#share-box', (b) => b.hidden), true, 'no link to a frame not shown');
  const asked = Date.now();
  await long.keyboard.press('Escape');
  await until(long, () => window.lincell.state === 'paused');
  const answered = Date.now() - asked;
  console.log(`     Esc answered in ${answered} ms while a long link opened`);
  assert.ok(answered < 1000, `${answered} ms`);
  const stopped = await run_of(long);
  assert.equal(stopped.recolor, 0, 'the C pressed meanwhile did nothing');
  assert.equal(await long.evaluate(() => location.hash), `#seed=2`);
  assert.equal(await matches_recorder(long), 0, 'the frame it stopped on is shown');
  await long.close();
});

test('a long link is worked out beside the page: its input answered at once, in a background tab too', async () => {
  const own = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                       args: ['--no-sandbox', '--disable-gpu', '--no-first-run'] });
  try {
    const page = await own.newPage();
    await page.goto(address + '#seed=2&frames=40000');
    await page.waitForFunction(() => window.lincell?.state === 'catching', { polling: 50 });
    // The page's own thread is free: its waits for a turn over half a second, nine
    // in ten of them short (work sliced on the page makes nearly every wait a slice).
    const waits = await page.evaluate(() => new Promise((done) => {
      const channel = new MessageChannel(), seen = [];
      let last = performance.now();
      const stop = last + 500;
      channel.port1.onmessage = () => {
        const now = performance.now();
        seen.push(now - last);
        last = now;
        if (now < stop)
          channel.port2.postMessage(0);
        else
          done(seen.sort((a, b) => a - b));
      };
      channel.port2.postMessage(0);
    }));
    const wait = waits[Math.floor(0.9 * (waits.length - 1))];
    assert.ok(wait < 15, `nine in ten turns came within ${wait.toFixed(1)} ms`);
    await (await own.newPage()).bringToFront();
    await page.waitForFunction(() => window.lincell.state === 'done', { polling: 200, timeout: 60000 });
    assert.equal(await page.evaluate(() => document.visibilityState), 'hidden');
    assert.equal((await run_of(page)).frame, 40000);
  } finally {
    await own.close();
  }
});

// Flashes in a run of RGB frames by the general flash threshold: each 341 x 256
// rectangle's average relative luminance (every 4th pixel), a change being 0.1
// or more against the way it last moved, the darker side under 0.8; two make
// a flash. The most any rectangle shows in any 60 frames.
function count_flashes(frames) {
  const linear = (v) => { const c = v / 255; return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4; };
  let most = 0;
  for (let left = 0; left <= 800 - 341; left += 51)
    for (let top = 0; top <= 600 - 256; top += 43) {
      let extreme = null, direction = 0;
      const changes = [];
      frames.forEach((rgb, k) => {
        let sum = 0, n = 0;
        for (let y = top; y < top + 256; y += 4)
          for (let x = left; x < left + 341; x += 4, n++) {
            const i = 3 * (y * 800 + x);
            sum += 0.2126 * linear(rgb[i]) + 0.7152 * linear(rgb[i + 1]) + 0.0722 * linear(rgb[i + 2]);
          }
        const now = sum / n;
        if (extreme === null) {
          extreme = now;
          return;
        }
        const way = now > extreme ? 1 : -1;
        if (way === direction)
          extreme = now;
        else if (Math.abs(now - extreme) >= 0.1 && Math.min(now, extreme) < 0.8)
          changes.push(k), direction = way, extreme = now;
        most = Math.max(most, Math.floor(changes.filter((c) => c > k - 60).length / 2));
      });
    }
  return most;
}

// The recorder's frames first..last of the page's run, as RGB bytes each.
function recorded_frames(link, first, last) {
  const out = join(scratch, `frames-${first}-${last}`);
  execFileSync(recorder, ['--link', link, '--frames', String(last), '--every', '1', '--out', out]);
  const names = Array.from({ length: last - first + 1 }, (_, i) => join(out, `frame-${String(first + i).padStart(5, '0')}.png`));
  const all = execFileSync('convert', [...names, '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 30 });
  return names.map((_, i) => all.subarray(i * 800 * 600 * 3, (i + 1) * 800 * 600 * 3));
}

test('the flash guard: on by default, held C stays under three flashes a second; a link made without it waits', async () => {
  const page = await open('#seed=424242', async () => {}, true);
  assert.equal(await page.$eval('#guard', (g) => g.checked), true, 'on by default');
  await until(page, () => window.lincell.frame > 100);
  const before = await run_of(page);
  await page.keyboard.down('c');
  await sleep(3000);
  await page.keyboard.up('c');
  await page.keyboard.press('Space');
  await until(page, () => window.lincell.state === 'paused');
  const held = await run_of(page);
  const recolors = held.recolor - before.recolor;
  const given = held.held.filter(([f, keys]) => f > before.frame && keys & 1).map(([f]) => f);
  console.log(`     C held 3 s with the guard: ${recolors} new colours`);
  assert.ok(recolors >= 2 && recolors === given.length, `${recolors}`);
  assert.ok(given.every((f, i) => i === 0 || f - given[i - 1] >= 20), `C given on frames ${given}`);
  await page.click('#share');
  const link = await page.$eval('#share-link', (i) => i.value);
  const flashes = count_flashes(recorded_frames(link, before.frame, held.frame));
  console.log(`     flashes a second, counted from the recorder's frames of the run: ${flashes}`);
  assert.ok(flashes <= 3, `${flashes}`);
  // Off: every frame, and remembered.
  await page.click('#share-close');
  await page.click('#guard');
  await page.click('#run');
  const off = (await hold(page, () => page.keyboard.down('c'), () => page.keyboard.up('c'))).recolor;
  assert.ok(off - held.recolor >= 5, `${off - held.recolor} new colours in 300 ms with the guard off`);
  await sleep(200); // the address follows at the next frame
  const flashy = await page.evaluate(() => location.hash);
  await page.reload();
  await until(page, () => window.lincell.state !== 'starting');
  assert.equal(await page.$eval('#guard', (g) => g.checked), false, 'off, remembered');
  await page.close();

  // That run's link, opened by someone with the guard on: paused on its first frame, warned.
  const other = await open(flashy, async () => {}, true);
  await until(other, () => window.lincell.state === 'done');
  assert.equal((await run_of(other)).frame, 1);
  assert.match(await other.$eval('#note', (n) => n.textContent), /flash guard off/);
  await other.click('#run');
  await until(other, () => window.lincell.frame > 30);
  await other.close();
});

test('every press acts once: instant clicks, click() and instant keys; keys go by letter', async () => {
  const page = await open('#seed=11');
  await until(page, () => window.lincell.frame > 10);
  // Each press down and up within one task of the page, so that no frame can fall
  // between them however busy the machine is.
  const ways = {
    'instant clicks': () => page.$eval('button[data-key="c"]', (b) => {
      for (let i = 0; i < 10; i++)
        for (const type of ['pointerdown', 'pointerup'])
          b.dispatchEvent(new PointerEvent(type, { pointerId: 30 + i, bubbles: true }));
    }),
    'click() calls': () => page.$eval('button[data-key="c"]', (b) => { for (let i = 0; i < 10; i++) b.click(); }),
    'instant key presses': () => page.evaluate(() => {
      for (let i = 0; i < 10; i++)
        for (const type of ['keydown', 'keyup'])
          document.dispatchEvent(new KeyboardEvent(type, { key: 'c', code: 'KeyC', bubbles: true }));
    }),
  };
  for (const [way, act] of Object.entries(ways)) {
    const before = (await run_of(page)).recolor;
    await act();
    await sleep(500);
    assert.equal((await run_of(page)).recolor - before, 10, way);
  }
  // M on an AZERTY keyboard types "m" where a US one has ";", and its "," sits where M is.
  const key = (type, k, code) => page.evaluate((t, k, c) =>
    document.dispatchEvent(new KeyboardEvent(t, { key: k, code: c, bubbles: true })), type, k, code);
  let before = (await run_of(page)).mutate;
  await key('keydown', 'm', 'Semicolon');
  await sleep(100);
  await key('keyup', 'm', 'Semicolon');
  await sleep(100);
  assert.ok((await run_of(page)).mutate > before, 'the key that types m');
  before = (await run_of(page)).mutate;
  await key('keydown', ',', 'KeyM');
  await sleep(100);
  await key('keyup', ',', 'KeyM');
  await sleep(100);
  assert.equal((await run_of(page)).mutate, before, 'the key in M\'s place that types ","');
  before = (await run_of(page)).mutate;
  await key('keydown', 'ь', 'KeyM'); // a Cyrillic layout: the place decides
  await sleep(100);
  await key('keyup', 'ь', 'KeyM');
  await sleep(100);
  assert.ok((await run_of(page)).mutate > before, 'a non-Latin letter goes by its place');
  await page.close();
});

test('a key held while the page loses the focus is released, button too', async () => {
  const page = await open('#seed=3');
  await page.keyboard.down('c');
  const box = await (await page.$('button[data-key="m"]')).boundingBox();
  await page.mouse.move(box.x + 5, box.y + 5);
  await page.mouse.down();
  await sleep(200);
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  const then = await run_of(page);
  await sleep(300);
  const now = await run_of(page);
  assert.ok(then.recolor > 0 && now.recolor === then.recolor, 'C stopped acting at the blur');
  assert.ok(then.mutate > 0 && now.mutate === then.mutate, 'M\'s button stopped acting at the blur');
  assert.equal(await page.$eval('button[data-key="m"]', (b) => b.classList.contains('held')), false);
  await page.keyboard.up('c');
  await page.mouse.up();
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

test('the buttons act while pressed, by mouse and by fingers, until the last lets go', async () => {
  const page = await open('#seed=11');
  const box = await (await page.$('button[data-key="c"]')).boundingBox();
  const count = (await hold(page, () => page.mouse.move(box.x + 5, box.y + 5).then(() => page.mouse.down()),
                            () => page.mouse.up())).recolor;
  assert.ok(count >= 5, 'C acted while the mouse held its button');
  await sleep(200);
  assert.equal((await run_of(page)).recolor, count, 'and stopped when it let go');
  // Two fingers on M's button: lifting one leaves it held by the other. (Chromium's
  // touch emulation lifts all fingers at once, so the fingers' pointers are made here.)
  const finger = (type, id) => page.$eval('button[data-key="m"]', (b, t, i) =>
    b.dispatchEvent(new PointerEvent(t, { pointerId: i, pointerType: 'touch', bubbles: true })), type, id);
  await finger('pointerdown', 21);
  await finger('pointerdown', 22);
  await sleep(100);
  await finger('pointerup', 22);
  const one_left = (await run_of(page)).mutate;
  await sleep(300);
  assert.ok((await run_of(page)).mutate - one_left >= 5, 'still held by the other finger');
  await finger('pointerup', 21);
  await sleep(100);
  const none = (await run_of(page)).mutate;
  await sleep(300);
  assert.ok((await run_of(page)).mutate - none <= 1, 'let go with the last finger');
  await page.click('#run');
  await until(page, () => window.lincell.state === 'paused');
  await page.click('#run');
  await until(page, () => window.lincell.state === 'running');
  await page.close();
});

test('reduced motion: a still of the first living frame, Start focused; Esc does not end it', async () => {
  const page = await open('#seed=1', (p) =>
    p.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]));
  await until(page, () => window.lincell.state === 'paused');
  const run = await run_of(page);
  assert.ok(run.frame > 0);
  const rgb = await canvas_rgb(page);
  assert.ok(rgb.subarray(800 * 40 * 3).some((v) => v !== 0), 'not a black picture');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'run', 'Start has the focus');
  await page.keyboard.press('Escape');
  await page.keyboard.press('Enter');
  await until(page, (f) => window.lincell.state === 'running' && window.lincell.frame > f + 5, run.frame);
  // A held key acts once per press, not every frame.
  const before = (await run_of(page)).recolor;
  await hold(page, () => page.keyboard.down('c'), () => page.keyboard.up('c'));
  await sleep(100);
  assert.equal((await run_of(page)).recolor - before, 1);
  // An address edit leaves the world paused.
  await page.keyboard.press('Space');
  await page.evaluate(() => { location.hash = '#seed=2'; });
  await until(page, () => window.lincell.seed === 2 && window.lincell.state === 'paused');
  await page.close();
});

// Where everything is, and whether anything overlaps, vanishes or scrolls sideways.
const layout_of = async (page) => (await sleep(150), page).evaluate(() => { // (once the picture is refitted)
  const boxes = [...document.querySelectorAll('button, #status, canvas, .guard, summary')]
    .filter((e) => e.checkVisibility()).map((e) => ({ name: e.id || e.textContent.trim().slice(0, 12), box: e.getBoundingClientRect() }));
  const overlaps = [];
  for (const [i, a] of boxes.entries())
    for (const b of boxes.slice(i + 1)) {
      const x = Math.min(a.box.right, b.box.right) - Math.max(a.box.left, b.box.left);
      const y = Math.min(a.box.bottom, b.box.bottom) - Math.max(a.box.top, b.box.top);
      if (x > 1 && y > 1)
        overlaps.push(`${a.name} / ${b.name}`);
    }
  const d = document.documentElement, canvas = document.getElementById('world').getBoundingClientRect();
  return { overlaps, vanished: boxes.filter((b) => b.box.width < 1 || b.box.height < 1).map((b) => b.name),
           sideways: d.scrollWidth > innerWidth + 1, scrolls: d.scrollHeight > innerHeight + 1,
           width: canvas.width, height: canvas.height, share: (canvas.width * canvas.height) / (innerWidth * innerHeight),
           scale: window.lincell.scale };
});

test('the layout: every screen and zoom, nothing overlapping or vanishing, phones filled', async () => {
  // [CSS width, height, pixel ratio, a phone?]: desktops, phones both ways, tablets.
  for (const [width, height, ratio, mobile] of [[1280, 800, 1, false], [1366, 768, 1, false], [1920, 1080, 1, false],
                                                [393, 852, 3, true], [852, 393, 3, true], [393, 851, 2.75, true],
                                                [412, 846, 3.5, true], [360, 640, 3, true], [768, 1024, 2, true],
                                                [1024, 768, 2, true]]) {
    const page = await browser.newPage();
    await page.setViewport({ width, height, isMobile: mobile, hasTouch: mobile, deviceScaleFactor: ratio });
    await page.goto(address + '#seed=5&frames=3&hold=n@2');
    await until(page, () => window.lincell.state === 'done');
    const seen = await layout_of(page);
    const size = `${width} x ${height} at ${ratio}`;
    assert.deepEqual(seen.overlaps, [], size);
    assert.deepEqual(seen.vanished, [], size);
    assert.equal(seen.scrolls || seen.sideways, false, `${size}: no scrolling`);
    if (mobile && height > width)
      assert.ok(seen.width >= width - 20, `${size}: upright, the picture is ${seen.width} wide`);
    if (mobile)
      console.log(`     ${size}: the picture ${seen.width.toFixed(0)} x ${seen.height.toFixed(0)}, ` +
                  `${(100 * seen.share).toFixed(0)} % of the screen`);
    // Share opens over the page: the picture keeps its size.
    await page.click('#share');
    const shared = await layout_of(page);
    assert.equal(shared.width, seen.width, `${size}: Share leaves the picture as it was`);
    await page.click('#share-close');
    // The keys' help can be read on every screen.
    await page.click('#keys summary');
    assert.ok(await page.$eval('#keys p', (p) => p.getBoundingClientRect().height > 0), `${size}: the keys' help`);
    await page.close();
  }
  // Forced colours: a held button looks held, and says so.
  const forced = await open('#seed=5', async (p) => (await p.createCDPSession()).send('Emulation.setEmulatedMedia',
    { features: [{ name: 'forced-colors', value: 'active' }] }));
  assert.ok(await forced.evaluate(() => matchMedia('(forced-colors: active)').matches));
  const look = (key) => forced.$eval(`button[data-key="${key}"]`, (b) =>
    [getComputedStyle(b).backgroundColor, b.getAttribute('aria-pressed')]);
  const box = await (await forced.$('button[data-key="c"]')).boundingBox();
  await forced.mouse.move(box.x + 5, box.y + 5);
  await forced.mouse.down();
  const [held, free] = [await look('c'), await look('n')];
  await forced.mouse.up();
  assert.notEqual(held[0], free[0], 'in forced colours a held button looks held');
  assert.deepEqual([held[1], free[1]], ['true', 'false']);
  await forced.close();
  // Zoomed to 200 % and 400 %: a 1280 x 800 window's CSS pixels shrink to a half and a quarter.
  for (const zoom of [2, 4]) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280 / zoom, height: 800 / zoom, deviceScaleFactor: zoom });
    await page.goto(address + '#seed=5&frames=3');
    await until(page, () => window.lincell.state === 'done');
    const seen = await layout_of(page);
    assert.deepEqual(seen.overlaps, [], `${zoom * 100} %`);
    assert.deepEqual(seen.vanished, [], `${zoom * 100} %`);
    assert.equal(seen.sideways, false, `${zoom * 100} %: scrolling down alone`);
    assert.ok(seen.width >= 150, `${zoom * 100} %: the picture ${seen.width} x ${seen.height}`);
    await page.close();
  }
});

test('the saved picture is the recorder\'s frame', async () => {
  const page = await open('#seed=2&frames=60');
  await until(page, () => window.lincell.state === 'done');
  const downloads = join(scratch, 'downloads');
  const client = await page.createCDPSession();
  await client.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.click('#save');
  const name = join(downloads, 'lincell-seed-2-frame-60.png');
  for (let i = 0; i < 100 && !existsSync(name); i++)
    await sleep(100);
  assert.ok(existsSync(name), `saved as ${readdirSync(downloads, { recursive: true })}`);
  const saved = execFileSync('convert', [name, '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 24 });
  assert.equal(count_differences(saved, recorded_rgb(2, 60)), 0);
  await page.close();
});

// A clip's frames decoded as its tags say, against the PNG frames first.. in `folder`:
// each frame's SSIM, both in ffmpeg's 4:2:0 from RGB.
function clip_ssim(clip, folder, first) {
  const { color_range: range, color_space: space } = JSON.parse(execFileSync('ffprobe', ['-v', 'error',
    '-select_streams', 'v:0', '-show_entries', 'stream=color_range,color_space', '-of', 'json', clip])).streams[0];
  const log = join(folder, 'ssim.log');
  execFileSync('sh', ['-c', 'ffmpeg -v error -i "$1" -vf "scale=in_color_matrix=$4:in_range=$5:out_color_matrix=bt601:' +
    'out_range=limited,format=yuv420p" -f rawvideo - | ffmpeg -v error -f rawvideo -pix_fmt yuv420p -s 800x600 ' +
    '-framerate 60 -i - -framerate 60 -start_number "$3" -i "$2/frame-%05d.png" ' +
    '-lavfi "[0:v][1:v]ssim=stats_file=$6" -f null -',
  'ssim', clip, folder, String(first), space === 'bt709' ? 'bt709' : 'bt601', range === 'pc' ? 'full' : 'limited', log]);
  return readFileSync(log, 'utf8').trim().split('\n').map((line) => Number(/All:([0-9.]+)/.exec(line)[1]));
}

test('Save clip: the seconds before the press, each frame the recorder\'s in order, its link inside', async () => {
  // N before the clip (replayed, not shown), C held inside it: new colours every
  // frame, so a frame out of place or twice shows.
  const page = await open('#seed=2&hold=N@40,C@150-170,M@200-260&frames=420');
  await until(page, () => window.lincell.state === 'done');
  const downloads = join(scratch, 'clips');
  const client = await page.createCDPSession();
  await client.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.select('#clip-seconds', '5');
  await page.click('#clip');
  await page.click('#clip-cancel'); // stopped at once: nothing saved
  assert.equal((await run_of(page)).clip.state, 'cancelled');
  await page.click('#clip');
  await until(page, () => window.lincell.clip.state !== 'making');
  const run = await run_of(page);
  assert.equal(run.clip.state, 'made', await page.$eval('#clip-text', (p) => p.textContent));
  assert.equal(run.clip.name, 'lincell-seed-2-frames-121-420.mp4');
  const clip = join(downloads, run.clip.name);
  for (let i = 0; i < 100 && !existsSync(clip); i++)
    await sleep(100);
  assert.deepEqual(readdirSync(downloads), [run.clip.name]);
  const probed = JSON.parse(execFileSync('ffprobe', ['-v', 'error', '-count_frames', '-select_streams', 'v:0',
    '-show_entries', 'stream=nb_read_frames,r_frame_rate:format_tags=comment', '-of', 'json', clip]));
  const { nb_read_frames: count, r_frame_rate: rate } = probed.streams[0], link = probed.format.tags.comment;
  assert.deepEqual([count, rate], ['300', '60/1']);
  assert.ok(link.startsWith(address + '#seed=2&run=') && link.endsWith('&frames=420'), link);
  // The link the clip carries makes the recorder's frames it is compared with.
  const frames = join(scratch, 'clip-frames');
  execFileSync(recorder, ['--link', link, '--every', '1', '--out', frames]);
  const ssim = clip_ssim(clip, frames, 121);
  const mean = (from, to) => ssim.slice(from - 121, to - 120).reduce((a, b) => a + b) / (to - from + 1);
  console.log(`     ${run.clip.codec}, ${(run.clip.size / 1e6).toFixed(1)} MB: SSIM mean ${mean(121, 420).toFixed(4)}, ` +
              `worst ${Math.min(...ssim).toFixed(4)}; ${mean(150, 170).toFixed(4)} with C held`);
  assert.ok(mean(121, 420) >= 0.95 && mean(150, 170) >= 0.9, 'each frame is its frame of the run');
  await page.close();
});

test('Save clip on a phone offers the share sheet with the file; with no encoder, the recorder\'s command', async () => {
  const phone = await open('#seed=3&frames=30', async (p) => {
    await p.emulate({ viewport: { width: 393, height: 852, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
                      userAgent: '' });
    await p.evaluateOnNewDocument(() => {
      navigator.canShare = (data) => data.files?.length === 1;
      navigator.share = async (data) => { window.shared = data.files.map((f) => [f.name, f.type, f.size > 0]); };
    });
  });
  await until(phone, () => window.lincell.state === 'done');
  await phone.tap('#clip');
  await until(phone, () => window.lincell.clip.state === 'made');
  await phone.tap('#clip-share');
  await until(phone, () => window.shared);
  assert.deepEqual(await phone.evaluate(() => window.shared), [['lincell-seed-3-frames-1-30.mp4', 'video/mp4', true]]);
  await phone.close();

  const old = await open('#seed=3&frames=30', (p) => p.evaluateOnNewDocument(() => { delete window.VideoEncoder; }));
  await until(old, () => window.lincell.state === 'done');
  await old.click('#clip');
  assert.equal((await run_of(old)).clip.state, 'no encoder');
  assert.equal(await old.$eval('#share-box', (b) => b.hidden), false);
  assert.match(await old.$eval('#share-command', (i) => i.value), /^lincell-record --link '.*#seed=3&frames=30' --video/);
  await old.close();
});

test('installable, and after one visit it opens and runs with no network', async () => {
  const page = await open('#seed=6');
  const client = await page.createCDPSession();
  const { installabilityErrors } = await client.send('Page.getInstallabilityErrors');
  assert.deepEqual(installabilityErrors, []);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.reload(); // now under the worker
  await until(page, () => navigator.serviceWorker.controller && window.lincell.frame > 2);
  await page.setOfflineMode(true);
  await page.reload();
  await until(page, () => window.lincell.state === 'running' && window.lincell.frame > 10);
  await page.click('#clip'); // its worker and muxer come from the cache too
  await until(page, () => window.lincell.clip.state !== 'making');
  assert.equal((await run_of(page)).clip.state, 'made');
  assert.deepEqual(page.errors.filter((e) => !/net::ERR_INTERNET_DISCONNECTED/.test(e)), []);
  await page.setOfflineMode(false);
  await page.close();
});

test('a frame\'s time, the picture put on the canvas included (reported, not judged)', async () => {
  const page = await open('#seed=2');
  await until(page, () => window.lincell.frame >= 400);
  const times = (await page.evaluate(() => window.lincell.times)).sort((a, b) => a - b);
  const at = (q) => times[Math.floor(q * (times.length - 1))].toFixed(2);
  console.log(`     ${times.length} frames: median ${at(0.5)} ms, 90th percentile ${at(0.9)} ms`);
  await page.close();
});
