// web-clip: the page's Save clip against the recorder, in one headless Chromium
// run. For clips of 5, 10 and 30 seconds, the page opens a steered run of just
// that length and saves its clip with a real click; the recorder makes the same
// run's MP4 and PNG frames from the same link. Prints for each: the codec, the
// frames ffprobe counts and their rate, mean and worst SSIM against the PNG
// frames, the size against the recorder's MP4, and the time to make each.
// SSIM as bench/videos takes it: both in ffmpeg's 4:2:0 from RGB, the clip read
// as its tags say. Then the time to make 10 s of a run 10 minutes long. Needs
// ffmpeg and ffprobe. Takes a few minutes.
// Usage: node bench/web_clip.mjs WEB_BUILD_FOLDER LINCELL_RECORD   (tests/web's packages installed)
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch_chromium, serve } from './web_site.mjs';

const [site, recorder] = process.argv.slice(2);
const work = mkdtempSync(join(tmpdir(), 'lincell-clip-'));
const { server, address } = await serve(site);
const browser = await launch_chromium();
const page = await browser.newPage();
const cdp = await page.createCDPSession();
await page.evaluateOnNewDocument(() => localStorage.setItem('lincell-flash-guard', 'off'));

// Steering, seeded: a press every few seconds, C, N or M, most of them taps.
let state = 11;
const next = () => (state = (state * 1103515245 + 12345) % 2147483648) / 2147483648;
const steering = (frames) => {
  const holds = [];
  for (let frame = 20; frame < frames;) {
    const held = next() < 0.7 ? 1 + Math.floor(next() * 12) : 12 + Math.floor(next() * 60);
    holds.push(`${'CNM'[Math.floor(next() * 3)]}@${frame}-${Math.min(frame + held - 1, frames)}`);
    frame += held + 20 + Math.floor(next() * 150);
  }
  return holds.join(',');
};
const seconds_of = (started) => (performance.now() - started) / 1000;
const run = (program, args) => execFileSync(program, args, { encoding: 'utf8', maxBuffer: 1 << 26 });

console.log('seconds codec frames rate  SSIM mean worst  MB (x recorder)  make s (recorder s)');
for (const seconds of [5, 10, 30]) {
  const frames = seconds * 60, folder = join(work, `${seconds}`);
  const link = `${address}#seed=2&hold=${steering(frames)}&frames=${frames}`;
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
  await page.goto(link);
  await page.waitForFunction(() => window.lincell?.state === 'done', { polling: 100, timeout: 120000 });
  await page.select('#clip-seconds', `${seconds}`);
  let started = performance.now();
  await page.click('#clip');
  await page.waitForFunction(() => window.lincell.clip?.state === 'made', { polling: 20, timeout: 300000 });
  const making = seconds_of(started);
  const clip = join(folder, await page.evaluate(() => window.lincell.clip.name));
  while (!existsSync(clip) || readdirSync(folder).some((name) => name.endsWith('.crdownload')))
    await new Promise((done) => setTimeout(done, 100));

  started = performance.now();
  run(recorder, ['--link', link, '--video', join(folder, 'recorder.mp4')]);
  const recording = seconds_of(started);
  run(recorder, ['--link', link, '--every', '1', '--out', join(folder, 'frames')]);

  const { codec_name: codec, r_frame_rate: rate, color_range: range, color_space: space, nb_read_frames: count } =
    JSON.parse(run('ffprobe', ['-v', 'error', '-count_frames', '-select_streams', 'v:0', '-show_entries',
      'stream=codec_name,r_frame_rate,color_range,color_space,nb_read_frames', '-of', 'json', clip])).streams[0];
  const matrix = space === 'bt709' ? 'bt709' : 'bt601', full = range === 'pc' ? 'full' : 'limited';
  const log = join(folder, 'ssim.log');
  run('sh', ['-c', `ffmpeg -v error -i "$1" -vf "scale=in_color_matrix=${matrix}:in_range=${full}:out_color_matrix=bt601:` +
    `out_range=limited,format=yuv420p" -f rawvideo - | ffmpeg -v error -f rawvideo -pix_fmt yuv420p -s 800x600 ` +
    `-framerate 60 -i - -framerate 60 -i "$2/frame-%05d.png" -lavfi "[0:v][1:v]ssim=stats_file=$3" -f null -`,
  'ssim', clip, join(folder, 'frames'), log]);
  const ssim = readFileSync(log, 'utf8').trim().split('\n').map((line) => Number(/All:([0-9.]+)/.exec(line)[1]));
  const size = statSync(clip).size, recorded = statSync(join(folder, 'recorder.mp4')).size;
  console.log(`${String(seconds).padStart(7)} ${codec.padEnd(5)} ${count.padStart(6)} ${rate.padEnd(5)} ` +
    `${(ssim.reduce((a, b) => a + b) / ssim.length).toFixed(4)} ${Math.min(...ssim).toFixed(4)} ` +
    `${(size / 1e6).toFixed(1).padStart(6)} (${(size / recorded).toFixed(2)})  ` +
    `${making.toFixed(1).padStart(6)} (${recording.toFixed(1)})`);
}

// A clip from a longer run: the frames before it are replayed first.
{
  const frames = 36000, folder = join(work, 'long');
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
  await page.goto(`${address}#seed=2&hold=${steering(frames)}&frames=${frames}`);
  await page.waitForFunction(() => window.lincell?.state === 'done', { polling: 100, timeout: 300000 });
  await page.select('#clip-seconds', '10');
  const started = performance.now();
  await page.click('#clip');
  await page.waitForFunction(() => window.lincell.clip?.state === 'made', { polling: 20, timeout: 300000 });
  console.log(`10 s ending at frame ${frames} (${frames - 600} frames replayed first): made in ` +
              `${seconds_of(started).toFixed(1)} s`);
}
await browser.close();
server.close();
rmSync(work, { recursive: true, force: true });
