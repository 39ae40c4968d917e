// lincell in a browser tab: runs the toy's run at most 60 generations a second
// with the keys held, keeps the address a link that replays this very run, and
// opens, shares, saves, pauses and steps. The run itself is the toy's (toy.js);
// input, the link and the loop are modules of their own.
import { start_input } from './keys.js';
import { address_of, command_line, read_address } from './link.js';
import { make_pacer, start_loop } from './loop.js';
import { new_tally, tally } from './tally.js';
import { start_toy } from './toy.js';

const $ = (id) => document.getElementById(id);
const canvas = $('world'), stage = $('stage');
const status = $('status'), note = $('note');
const run_button = $('run'), step_button = $('step'), cancel_button = $('cancel');
const reduced_motion = matchMedia('(prefers-reduced-motion: reduce)');
const pace = 1000 / 60; // ms between generations, whatever the screen's rate

// What the page shows and the tests read: the run's state and its counts
// (tally.js); `times` the last 600 frames' times in ms. `holds` is the run's
// holds in the recorder's --hold grammar, `code` in the link's.
const run = { seed: 0, frames: null, frame: 0, state: 'starting', ...new_tally(), times: [], holds: '', code: '' };
window.lincell = run;

let toy;
try {
  toy = await start_toy();
} catch (error) {
  status.textContent = 'lincell could not start: its program (lincell.wasm) did not load. ' +
                       'Reload the page to try again.';
  document.body.dataset.state = run.state = 'failed';
  throw error;
}
const k = toy.constants;
const bits = { c: k.key_c, n: k.key_n, m: k.key_m };
const context = canvas.getContext('2d', { alpha: false });

let link_stale = false; // the address lags behind the run's holds
const input = start_input({ bits, reduced_motion, act: (command) => commands[command](),
                            let_go: () => { link_stale = true; } });

// ---- The flash guard, on unless the person turned it off (remembered): held C
// and N act at most once every guarded_gap frames, a link made without it opens
// paused with a warning, and a world that flickers by itself is paused.
const guard_box = $('guard');
const remembered = (() => { try { return localStorage.getItem('lincell-flash-guard'); } catch { return null; } })();
let guard_on = remembered !== 'off';
guard_box.checked = guard_on;
guard_box.addEventListener('change', () => {
  guard_on = guard_box.checked;
  try {
    localStorage.setItem('lincell-flash-guard', guard_on ? 'on' : 'off');
  } catch {}
});
const flashy_keys = k.key_c | k.key_n;
let flashes_allowed = false; // the person chose to play a link that flashes

// ---- Notes under the picture: said once, kept until a new run.
let notes = [];
function say_notes(more) {
  notes = notes.concat(more);
  note.hidden = notes.length === 0;
  note.textContent = notes.join(' ');
}
let kept_parts = []; // the address's parts the page did not understand, kept as they came
function update_link() {
  link_stale = false;
  const code = toy.write_code();
  if (code === null || !toy.is_recorded())
    return link_cannot_follow();
  run.holds = toy.write_holds() ?? run.holds;
  run.code = run.holds ? code : '';
  history.replaceState(null, '', address_of(run.seed, run.code, null, kept_parts));
}
let link_full = false;
function link_cannot_follow() {
  if (!link_full)
    say_notes(['This run has more key presses than a link can carry: the address and Share ' +
               'replay it only up to the last press that fitted.']);
  link_full = true;
}

// ---- The picture.
let shown_frame = 0; // the frame on the canvas
function show() {
  toy.paint();
  run.first_shown_at ??= performance.now();
  context.putImageData(toy.picture, 0, 0);
  shown_frame = run.frame;
  set_title(`lincell, seed ${run.seed}, frame ${run.frame}`);
}
function set_title(title) {
  if (document.title !== title)
    document.title = title;
}

// One generation with the link's keys and, when `live`, the keys pressed now;
// false when the link's Esc ends the run first.
function next_generation(live) {
  const blocked = guard_on && run.frame + 1 - run.last_flashy < k.guarded_gap ? flashy_keys : 0;
  const did = toy.advance(live ? input.keys_for_frame(blocked) : 0);
  if (did === k.run_ended)
    return false;
  run.frame = toy.frames();
  tally(run, k, run.frame, toy.keys(), did);
  if (live && !toy.is_recorded())
    link_cannot_follow();
  return true;
}

// ---- The one frame loop, at most 60 generations a second, asking for the
// screen's frames only while the world runs.
const pacer = make_pacer(pace);
let escape_pressed = false; // Esc pressed while running: the run ends before the next frame
const loop = start_loop((elapsed) => {
  if (run.state === 'running' && pacer.due(elapsed))
    run_shown_frame();
  if (link_stale && run.state !== 'catching')
    update_link();
  return run.state === 'running';
}, pace);

// ---- States: catching (working out the frames before a link's), running,
// paused, done (on a link's frame), ended (by Esc).
function set_state(state, text) {
  run.state = state;
  document.body.dataset.state = state;
  run_button.textContent = state === 'running' ? 'Pause' : state === 'ended' ? 'Start again' : 'Start';
  step_button.disabled = state !== 'paused' && state !== 'done';
  run_button.disabled = state === 'catching';
  cancel_button.hidden = state !== 'catching';
  input.ignore(state === 'catching');
  if (text !== undefined)
    status.textContent = text;
  loop.wake();
}
const paused_text = () => `Seed ${run.seed}, frame ${run.frame}: paused. Start (or Space) runs ` +
                          'on; Step (or .) shows the next frame.';

// A run from the address: its seed (or the clock's), its holds, and where it stops.
let target = null; // the frame to work out before showing, 'first light', or null
function start_run() {
  run.started_at = performance.now();
  catch_up.drop();
  const pinned = read_address(location.hash, k.most_seed, k.most_frames);
  run.seed = pinned.seed !== null ? pinned.seed : Math.floor(Date.now() / 1000) % (k.most_seed + 1);
  Object.assign(run, { frames: pinned.frames, frame: 0, ...new_tally(), times: [], holds: '', code: '' });
  input.reset();
  link_full = false;
  notes = [];
  kept_parts = pinned.kept;
  const more = pinned.notes;
  if (!toy.start(run.seed))
    console.error('lincell: the caption font was refused; running without the caption');
  for (const [name, text, read] of [['run', pinned.code, toy.read_code], ['hold', pinned.holds, toy.read_holds]]) {
    if (text === null)
      continue;
    const fault = read(text);
    if (fault !== null) {
      more.push(`${name}= is not understood (${fault}); it is ignored.`);
      kept_parts.push(pinned.raw[name]);
    }
  }
  run.holds = toy.write_holds() ?? '';
  run.code = run.holds ? toy.write_code() ?? '' : '';
  flashes_allowed = false;
  document.body.dataset.flashy = '';
  if (guard_on && toy.holds_flash()) {
    more.push('Warning: this link was made with the flash guard off, and its replay can flash ' +
              'more than three times a second. It waits, paused, until you press Start.');
    document.body.dataset.flashy = 'warned';
    run.frames ??= 1; // paused on its first frame
  }
  say_notes(more);
  history.replaceState(null, '', address_of(run.seed, run.code, run.frames, kept_parts));
  set_title(`lincell, seed ${run.seed}`);
  $('share-box').hidden = true;
  context.fillStyle = '#000';
  context.fillRect(0, 0, k.width, k.height);
  // A link that names a frame opens on it; reduced motion opens on the first
  // frame that shows anything; otherwise the run starts.
  target = run.frames !== null ? run.frames : reduced_motion.matches ? 'first light' : null;
  if (target !== null) {
    set_state('catching', `Seed ${run.seed}: working out the frames before the one to show…`);
    catch_up.begin();
  } else {
    go();
  }
}
function go() {
  if (run.frames !== null && run.frame >= run.frames)
    run.frames = null; // running on past the link's frame
  if (run.state !== 'starting' && document.body.dataset.flashy === 'warned')
    flashes_allowed = true; // asked for, after the warning
  toy.clear_flashes();
  history.replaceState(null, '', address_of(run.seed, run.code, null, kept_parts));
  pacer.reset();
  escape_pressed = false; // an Esc is for the frames it was pressed among
  set_state('running', `Seed ${run.seed}.`);
}
function pause(state = 'paused') {
  set_state(state, state === 'done' ? `Seed ${run.seed}, frame ${run.frame}, as the link shows ` +
                                      'it. Start (or Space) runs on.' : paused_text());
}
function end(text) {
  update_link();
  set_state('ended', text);
}

// ---- Working out the frames before the one a link shows, with the time left
// and a way to stop: in the opener's worker (opener.js), so that the page
// answers at once and the work goes on in a background tab; here, a slice at a
// time, for reduced motion's first frame that shows anything, or where no
// worker starts.
const catch_up = (() => {
  const slice = 40; // ms of work between looks at the person's input
  const channel = new MessageChannel();
  let began = 0, first_frame = 0;
  let opener = null; // the worker at work, or null
  let stopped = false; // stopped by the person before the link's frame
  const black = (data) => {
    for (let i = 0; i < data.length; i += 4)
      if (data[i] | data[i + 1] | data[i + 2])
        return false;
    return true;
  };
  function finish(reached_end) {
    const reached = run.frame;
    target = null;
    show();
    run.shown_at = performance.now();
    if (reached_end && run.frames !== null && reached < run.frames)
      return end(`The link's run ends with Esc at frame ${reached}.`);
    pause(run.frames !== null && reached === run.frames ? 'done' : 'paused');
    if (stopped && run.frames !== null) {
      say_notes([`Stopped at frame ${run.frame}, before the link's frame ${run.frames}.`]);
      run.frames = null;
      history.replaceState(null, '', address_of(run.seed, run.code, null, kept_parts));
    }
    if (reduced_motion.matches)
      run_button.focus();
  }
  function say_progress(frame) {
    const done = frame - first_frame, spent = performance.now() - began;
    let text = `Seed ${run.seed}: working out frame ${frame} of ` +
               `${target === 'first light' ? 'the first to show' : target}`;
    if (target !== 'first light' && spent > 500 && done > 0) {
      const left = Math.ceil(((target - frame) * spent) / done / 1000);
      text += `, about ${left} s left`;
    }
    status.textContent = `${text}… Esc or Cancel stops.`;
  }
  function work() {
    if (run.state !== 'catching' || opener)
      return;
    if (stopped)
      return finish(false);
    const until = performance.now() + slice;
    while (performance.now() < until) {
      if (target === 'first light') {
        // (below the caption, which every frame shows)
        if (run.frame > 0) {
          toy.paint();
          if (!black(toy.picture.data.subarray(4 * k.width * 40)) || run.frame >= 600)
            return finish(false);
        }
        if (!next_generation(false))
          return finish(true);
        continue;
      }
      if (run.frame >= target)
        return finish(false);
      for (let i = 0; i < 16 && run.frame < target; i++) // (a few generations between looks at the clock)
        if (!next_generation(false))
          return finish(true);
    }
    say_progress(run.frame);
    channel.port2.postMessage(0);
  }
  channel.port1.onmessage = work;
  // The run as the worker leaves it, taken as this page's own; false when it cannot be.
  function take(opened) {
    if (!toy.take_state(opened.state))
      return false;
    run.frame = opened.frame;
    Object.assign(run, opened.counts);
    finish(opened.ended);
    return true;
  }
  function open_in_worker() {
    let worker;
    try {
      worker = new Worker(new URL('./opener.js', import.meta.url), { type: 'module' });
    } catch {
      return false;
    }
    opener = worker;
    const work_here = (why) => { // (the page's toy is still on frame 0)
      console.error(`lincell: the opener stopped (${why}); working out the frames here`);
      drop();
      channel.port2.postMessage(0);
    };
    worker.onmessage = ({ data }) => {
      if (opener !== worker)
        return;
      if (data.progress !== undefined)
        return say_progress(data.progress);
      drop();
      if (data.failed !== undefined)
        work_here(data.failed);
      else if (!take(data.opened))
        work_here('a state of another build');
    };
    worker.onerror = (event) => opener === worker && work_here(event.message || 'it did not start');
    worker.postMessage({ seed: run.seed, code: toy.write_code() ?? '', target });
    return true;
  }
  function drop() {
    opener?.terminate();
    opener = null;
  }
  return {
    begin() {
      drop();
      began = performance.now();
      first_frame = run.frame;
      stopped = false;
      if (typeof target !== 'number' || !open_in_worker())
        channel.port2.postMessage(0);
    },
    drop,
    cancel() {
      if (run.state !== 'catching' || stopped)
        return;
      stopped = true;
      if (opener)
        opener.postMessage({ stop: true }); // (it answers with the frame it reached)
    },
  };
})();

// ---- A running world: one generation shown a frame, Esc seen at its top.
function run_shown_frame() {
  if (escape_pressed) {
    escape_pressed = false;
    return end(`Ended at frame ${run.frame}. Press Enter or "Start again" to run seed ${run.seed} again.`);
  }
  const began = performance.now();
  if (!next_generation(true)) {
    show();
    return end(`The link's run ends with Esc at frame ${run.frame}.`);
  }
  show();
  run.times.push(performance.now() - began); // the frame and its picture on the canvas
  if (run.times.length > 600)
    run.times.shift();
  run.flashes = toy.note_flashes();
  if (guard_on && !flashes_allowed && run.flashes > k.most_flashes_a_second) {
    pause();
    status.textContent = `Seed ${run.seed}, frame ${run.frame}: paused, because this world flickers ` +
      'more than three times a second. N gives a new world; Start runs this one on.';
    document.querySelector('button[data-key="n"]').focus();
  }
}

function step() {
  if (run.state === 'paused' || run.state === 'done') {
    run.frames = null;
    if (next_generation(true))
      show();
    pause();
    update_link();
  }
}
function start_or_pause() {
  if (run.state === 'running')
    pause();
  else if (run.state === 'paused' || run.state === 'done')
    go();
  else if (run.state === 'ended')
    start_run();
}
const commands = {
  pause: start_or_pause,
  step,
  full: full_screen,
  escape() {
    if (run.state === 'running')
      escape_pressed = true;
    else if (run.state === 'catching')
      catch_up.cancel();
  },
  enter() {
    if (run.state !== 'running' && run.state !== 'catching')
      start_or_pause();
  },
};

// ---- Sharing, saving, full screen.
// Share's fields for the run up to `frame`, shown; the link.
function fill_share_box(frame) {
  const page = location.href.split('#')[0];
  const link = page + address_of(run.seed, run.code, frame, kept_parts);
  $('share-link').value = link;
  $('share-command').value = command_line(page + address_of(run.seed, run.code, frame), run.seed, frame);
  $('share-box').hidden = false;
  return link;
}
function share() {
  if (run.state === 'catching')
    return;
  update_link();
  const link = fill_share_box(run.frame);
  if (run.state === 'running')
    pause();
  const done = (how) => { status.textContent = `Link to frame ${run.frame} ${how}.`; };
  if (link_full)
    done('shown below; it replays the run only up to the last press that fitted');
  else if (navigator.share && matchMedia('(pointer: coarse)').matches)
    navigator.share({ title: document.title, url: link }).then(() => done('shared'), () => {});
  else if (navigator.clipboard)
    navigator.clipboard.writeText(link).then(() => done('copied'), () => done('shown below'));
  else
    done('shown below');
}
// ---- Clips: the last seconds before the press as a video, made aside from the
// run's seed and holds while the run on the screen goes on.
const clip_box = $('clip-box'), clip_text = $('clip-text'), clip_bar = $('clip-progress');
const clip_seconds = $('clip-seconds');
try {
  clip_seconds.value = localStorage.getItem('lincell-clip-seconds') || clip_seconds.value;
} catch {}
clip_seconds.addEventListener('change', () => {
  try {
    localStorage.setItem('lincell-clip-seconds', clip_seconds.value);
  } catch {}
});
let clip = null; // the clip being asked for: { cancel() }, until it is made, fails or is cancelled
let clip_url = null; // the last clip made, for its Save link
function say_clip(text, state) {
  run.clip = { ...run.clip, state };
  clip_box.hidden = false;
  clip_text.textContent = text;
  clip_bar.hidden = state !== 'making';
  $('clip-cancel').hidden = state !== 'making';
  $('clip-share').hidden = $('clip-file').hidden = true;
}
async function save_clip() {
  if (run.state === 'catching' || clip)
    return;
  update_link();
  const last = run.frame;
  if (link_full)
    return say_clip('This run has more key presses than a link can carry, so no clip can replay it.', 'refused');
  if (last < 1)
    return say_clip('Nothing to put in a clip yet: run the world first.', 'refused');
  if (typeof VideoEncoder === 'undefined')
    return say_no_encoder(last);
  const first = Math.max(1, last - Number(clip_seconds.value) * 60 + 1);
  const link = location.href.split('#')[0] + address_of(run.seed, run.code, last, kept_parts);
  run.clip = { first, last };
  say_clip(`Making a clip of frames ${first} to ${last}…`, 'making');
  clip_bar.value = 0;
  const seed = run.seed, code = toy.write_code() ?? '';
  let making = null, cancelled = false;
  const asked = clip = { cancel() { cancelled = true; making?.cancel(); } };
  try {
    const { make_clip } = await import('./clip.js'); // (loaded on the first press, not before)
    if (cancelled)
      throw new Error('cancelled');
    making = make_clip({ seed, code, first, last, link }, (frame) => {
      clip_bar.value = frame < first ? 0 : (frame - first + 1) / (last - first + 1);
      clip_text.textContent = frame < first
        ? `Making a clip of frames ${first} to ${last}: working out frame ${frame}…`
        : `Making a clip of frames ${first} to ${last}: ${Math.floor(clip_bar.value * 100)} %…`;
    });
    const made = await making.made;
    if (made.no_encoder)
      return say_no_encoder(last);
    show_clip(made.file, made.codec, first, last);
  } catch (error) {
    if (error.message === 'cancelled')
      say_clip('Clip cancelled.', 'cancelled');
    else
      say_clip(`The clip could not be made: ${error.message}.`, 'failed');
  } finally {
    if (clip === asked)
      clip = null;
  }
}
function say_no_encoder(last) {
  fill_share_box(last);
  say_clip('This browser cannot make videos. The recorder can: Share shows its command for this run.',
           'no encoder');
}
function show_clip(file, codec, first, last) {
  if (clip_url)
    URL.revokeObjectURL(clip_url);
  clip_url = URL.createObjectURL(file);
  const save = $('clip-file');
  save.href = clip_url;
  save.download = file.name;
  const size = `${(file.size / 1e6).toFixed(1)} MB`;
  const seconds = ((last - first + 1) / 60).toFixed(1).replace(/\.0$/, '');
  const shareable = matchMedia('(pointer: coarse)').matches && navigator.canShare?.({ files: [file] });
  say_clip(`Clip of frames ${first} to ${last} (${seconds} s, ${codec}, ${size}): ${file.name}` +
           (shareable ? '.' : ', saved.'), 'made');
  run.clip = { ...run.clip, name: file.name, size: file.size, codec };
  save.hidden = false;
  if (shareable) {
    const button = $('clip-share');
    button.hidden = false;
    button.onclick = () => navigator.share({ files: [file], title: file.name }).catch(() => {});
    button.focus();
  } else {
    save.click();
  }
}
$('clip').addEventListener('click', save_clip);
$('clip-cancel').addEventListener('click', () => clip?.cancel());

function save_picture() {
  if (run.state === 'catching')
    return;
  const name = `lincell-seed-${run.seed}-frame-${shown_frame}.png`;
  canvas.toBlob((blob) => {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = name;
    a.click();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  }, 'image/png');
}
function full_screen() {
  if (document.fullscreenElement)
    document.exitFullscreen();
  else if (document.documentElement.requestFullscreen)
    document.documentElement.requestFullscreen().catch(() => {});
}

run_button.addEventListener('click', start_or_pause);
step_button.addEventListener('click', step);
cancel_button.addEventListener('click', () => catch_up.cancel());
$('share').addEventListener('click', share);
$('share-close').addEventListener('click', () => {
  $('share-box').hidden = true;
  $('share').focus();
});
$('share-box').addEventListener('keydown', (event) => {
  if (event.key === 'Escape')
    $('share-close').click();
});
// The keys' help is open where there is room for it, a tap away where there is not.
$('keys').open = matchMedia('(min-width: 700px) and (min-height: 600px)').matches;
$('save').addEventListener('click', save_picture);
$('full').addEventListener('click', full_screen);
canvas.addEventListener('pointerdown', () => canvas.focus());
for (const id of ['share-link', 'share-command'])
  $(id).addEventListener('focus', (event) => event.target.select());

// An address typed or pasted starts its run; the one frame loop goes on.
window.addEventListener('hashchange', start_run);

// ---- The picture's size: as large as the room allows.
function fit() {
  const ratio = window.devicePixelRatio || 1;
  const box = stage.getBoundingClientRect();
  let scale = Math.min(box.width * ratio / k.width, box.height * ratio / k.height);
  // Whole multiples of the picture's pixels when one fills nine tenths of the
  // room or more; smooth scaling otherwise (a phone's dense screen, a small window).
  const sharp = scale >= 1 && Math.floor(scale) / scale >= 0.9;
  if (sharp)
    scale = Math.floor(scale);
  canvas.classList.toggle('sharp', sharp);
  canvas.style.width = `${(k.width * scale) / ratio}px`;
  canvas.style.height = `${(k.height * scale) / ratio}px`;
  canvas.style.visibility = 'visible'; // hidden until sized, so that nothing shifts
  run.scale = scale;
}
new ResizeObserver(fit).observe(stage);
fit();

// ---- Updates. The worker caches each build whole and takes over as soon as a
// new one is cached; a tab open on the old build is told, and loads the new one
// on this very frame when asked.
if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  let controlled = navigator.serviceWorker.controller !== null; // by a build before this change
  navigator.serviceWorker.register('sw.js').then((registration) => {
    const look = () => registration.update().catch(() => {});
    document.addEventListener('visibilitychange', () => { if (!document.hidden) look(); });
    setInterval(look, 3600 * 1000);
  }).catch(() => {});
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (controlled)
      $('update').hidden = false; // (the first worker of all takes over a page of its own build)
    controlled = true;
  });
}
$('reload').addEventListener('click', () => {
  if (run.state !== 'catching')
    history.replaceState(null, '', address_of(run.seed, run.code, run.frame, kept_parts));
  location.reload();
});

start_run();
