// web-open: the cost of opening a long link against the page's bare generation,
// in one headless Chromium run. The link carries twenty minutes of lively steering
// (a press every two seconds or so, most of them taps) and opens on frame 36,000;
// the bare generation is the same module's advance with no holds, timed in a loop
// in the same page (the fastest of five rounds). Prints both, per generation, and their ratio (goal: 1.3 at most).
// Usage: node bench/web_open.mjs WEB_BUILD_FOLDER   (tests/web's packages installed)
import { launch_chromium, serve } from './web_site.mjs';

const { server, address } = await serve(process.argv[2]);
const browser = await launch_chromium();

// Twenty minutes of steering, seeded, as hold= text.
let state = 7;
const next = () => (state = (state * 1103515245 + 12345) % 2147483648) / 2147483648;
const holds = [];
for (let frame = 30; frame < 72000;) {
  const held = next() < 0.7 ? 1 + Math.floor(next() * 12) : 12 + Math.floor(next() * 100);
  holds.push(`${'CNM'[Math.floor(next() * 3)]}@${frame}-${frame + held - 1}`);
  frame += held + 20 + Math.floor(next() * 200);
}
const frames = 36000;
const page = await browser.newPage();
await page.evaluateOnNewDocument(() => localStorage.setItem('lincell-flash-guard', 'off'));
await page.goto(`${address}#seed=2&hold=${holds.join(',')}&frames=${frames}`);
await page.waitForFunction(() => window.lincell?.state === 'done', { timeout: 300000, polling: 200 });
const opening = await page.evaluate(() => (window.lincell.shown_at - window.lincell.started_at) * 1000);
// (the fastest of five rounds of a fifth of the frames each: the steadiest figure)
const bare = await page.evaluate(async (n) => {
  const toy = await (await import('./lincell.js')).default();
  toy._start_page(2);
  let best = Infinity;
  for (let round = 0; round < 5; round++) {
    const start = performance.now();
    for (let i = 0; i < n / 5; i++)
      toy._advance_page(0);
    best = Math.min(best, (performance.now() - start) * 5000);
  }
  return best;
}, frames);
const per = (us) => (us / frames).toFixed(1);
console.log(`opening a link of ${holds.length} holds on frame ${frames}: ${per(opening)} µs a generation`);
console.log(`the bare generation, same page:              ${per(bare)} µs a generation`);
console.log(`ratio: ${(opening / bare).toFixed(2)} (goal: 1.3 at most)`);
await browser.close();
server.close();
