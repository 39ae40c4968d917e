// lincell in a browser tab: starts the toy's WebAssembly and runs its frame, at
// most 60 a second, with the keys held; keeps the address a link that replays
// this very run (its seed and every key held, in the recorder's --hold grammar,
// read and written by the toy's own parser); shares, saves, pauses and steps.
'use strict';

(async () => {
  const width = 800, height = 600;
  const most_seed = 4294967295, most_frames = 10000000;
  const pace = 1000 / 60; // ms between generations, whatever the screen's rate
  const bits = { c: 1, n: 2, m: 4 }; // the core's key_c, key_n, key_m
  const key_esc = 8;
  const $ = (id) => document.getElementById(id);
  const canvas = $('world'), stage = $('stage');
  const context = canvas.getContext('2d', { alpha: false });
  const status = $('status'), note = $('note');
  const run_button = $('run'), step_button = $('step');
  const reduced_motion = matchMedia('(prefers-reduced-motion: reduce)');

  const toy = await startLincell();
  const picture = new ImageData(
    new Uint8ClampedArray(toy.HEAPU8.buffer, toy._page_pixels(), width * height * 4), width, height);
  const text_at = toy._page_text(), text_size = toy._page_text_size();
  const put_text = (s) => {
    const bytes = new TextEncoder().encode(s);
    if (bytes.length >= text_size)
      return false;
    toy.HEAPU8.set(bytes, text_at);
    toy.HEAPU8[text_at + bytes.length] = 0;
    return true;
  };
  const get_text = () => {
    const heap = toy.HEAPU8;
    let end = text_at;
    while (heap[end])
      end++;
    return new TextDecoder().decode(heap.subarray(text_at, end));
  };

  // What the page shows and the tests read: the run's state and its counts.
  // `held` lists the frames that ran with keys held, as [frame, bits] (the last 1000).
  const run = { seed: 0, frames: null, frame: 0, state: 'starting', colors: 0, worlds: 0,
                nudges: 0, watch: 0, held: [], times: [], holds: '' };
  window.lincell = run;

  // ---- The keys. Every press acts once on a frame of its own, in the order they
  // came, however short it was; a key still held after that acts on every frame
  // until it is let go (with reduced motion, only the once).
  let held = 0;       // bits of the keys and buttons down now
  let escape_pressed = false; // Esc pressed while running: the run ends before the next frame
  const waiting = []; // presses no frame has acted on yet, in order, one a frame
  function press(bit) {
    waiting.push(bit);
    held |= bit;
  }
  function release(bit) {
    if (!(held & bit))
      return;
    held &= ~bit;
    link_stale = true; // a key let go: the address follows at the next frame shown
  }
  function keys_for_frame() {
    const first = waiting.length ? waiting.shift() : 0;
    let still_waiting = 0;
    for (const bit of waiting)
      still_waiting |= bit;
    const keys = first | (reduced_motion.matches ? 0 : held & ~still_waiting);
    if (first & ~held)
      link_stale = true; // a press let go before its frame: the address follows now
    return keys;
  }

  // ---- The address: #seed=S, then hold=KEYS@A[-B],... and frames=K, all optional.
  let link_stale = false, link_full = false;
  function read_address() {
    const params = new URLSearchParams(location.hash.slice(1));
    const notes = [];
    const number = (name, most) => {
      if (!params.has(name))
        return null;
      const text = params.get(name);
      if (/^[0-9]{1,10}$/.test(text) && Number(text) <= most)
        return Number(text);
      notes.push(`${name}=${text === '' ? '(empty)' : JSON.stringify(text.slice(0, 40))} is not a ` +
                 `whole number from 0 to ${most}; it is ignored.`);
      return null;
    };
    const seed = number('seed', most_seed);
    let frames = number('frames', most_frames), holds = params.get('hold');
    if (seed === null && (frames !== null || holds !== null)) {
      notes.push('frames= and hold= need a seed= beside them; they are ignored.');
      frames = holds = null;
    }
    return { seed, frames, holds, notes };
  }
  function say_notes(notes) {
    note.hidden = notes.length === 0;
    note.textContent = notes.join(' ');
  }
  function address_of(frames) {
    let hash = `#seed=${run.seed}`;
    if (run.holds)
      hash += `&hold=${run.holds}`;
    if (frames !== null)
      hash += `&frames=${frames}`;
    return hash;
  }
  // Said once a run has more presses than its link can carry.
  function link_cannot_follow() {
    if (!link_full)
      say_notes(['This run has more key presses than a link can carry: the address and Share ' +
                 'replay it only up to the last press that fitted.']);
    link_full = true;
  }
  function update_link() {
    link_stale = false;
    const length = toy._page_write_holds();
    if (length < 0)
      return link_cannot_follow();
    run.holds = get_text();
    history.replaceState(null, '', address_of(null));
  }

  // ---- Runs.
  let shown_frame = 0; // the frame on the canvas
  function show() {
    run.first_shown_at ??= performance.now();
    context.putImageData(picture, 0, 0);
    shown_frame = run.frame;
    document.title = `lincell, seed ${run.seed}, frame ${run.frame}`;
  }
  // One generation with the keys of the link and the keys pressed now; drawn
  // unless `unseen` (a frame before the one to show).
  function next_generation(live, unseen = false) {
    const k = run.frame + 1;
    const linked = toy._page_keys_at(k);
    if (linked & key_esc)
      return false;
    const keys = live ? keys_for_frame() : 0;
    if (keys && !toy._page_note_keys(k, keys))
      link_cannot_follow();
    const all = (linked | keys) & 7;
    const did = unseen ? toy._run_page_frame_unseen(all) : toy._run_page_frame(all);
    run.frame = k;
    if (all) {
      run.held.push([k, all]);
      if (run.held.length > 1000)
        run.held.shift();
    }
    run.colors += did & 1 ? 1 : 0;
    run.worlds += did & 2 ? 1 : 0;
    run.nudges += did & 4 ? 1 : 0;
    run.watch += did & 8 ? 1 : 0;
    return true;
  }

  function set_state(state, text) {
    run.state = state;
    document.body.dataset.state = state;
    run_button.textContent = state === 'running' ? 'Pause' : state === 'ended' ? 'Start again' : 'Start';
    step_button.disabled = state !== 'paused' && state !== 'done';
    if (text !== undefined)
      status.textContent = text;
  }
  const paused_text = () => `Seed ${run.seed}, frame ${run.frame}: paused. Start (or Space) runs ` +
                            'on; Step (or .) shows the next frame.';

  // A run from the address: its seed (or the clock's), its holds, and where it stops.
  let target = null; // the frame to catch up to without showing, or null
  function start_run() {
    run.started_at = performance.now();
    const pinned = read_address();
    const notes = pinned.notes;
    run.seed = pinned.seed !== null ? pinned.seed : Math.floor(Date.now() / 1000) % (most_seed + 1);
    Object.assign(run, { frames: pinned.frames, frame: 0, colors: 0, worlds: 0, nudges: 0, watch: 0,
                         held: [], times: [], holds: '' });
    held = 0;
    waiting.length = 0;
    link_full = false;
    for (const button of document.querySelectorAll('button[data-key]'))
      button.classList.remove('held');
    if (!toy._start_page(run.seed))
      console.error('lincell: the caption font was refused; running without the caption');
    if (pinned.holds !== null) {
      if (!put_text(pinned.holds))
        notes.push('hold= is longer than a link can carry; it is ignored.');
      else if (toy._page_read_holds() < 0)
        notes.push(`hold= is not understood (${get_text().replace(/^--hold /, '')}); it is ignored.`);
      else
        run.holds = pinned.holds;
    }
    say_notes(notes);
    history.replaceState(null, '', address_of(run.frames));
    document.title = `lincell, seed ${run.seed}`;
    $('share-box').hidden = true;
    context.fillStyle = '#000';
    context.fillRect(0, 0, width, height);
    // A link that names a frame opens on it; reduced motion opens on the first
    // frame that shows anything; otherwise the run starts.
    target = run.frames !== null ? run.frames : reduced_motion.matches ? 'first light' : null;
    if (target !== null)
      set_state('catching', `Seed ${run.seed}: working out the frames before the one to show…`);
    else
      go();
  }
  function go() {
    if (run.frames !== null && run.frame >= run.frames)
      run.frames = null; // running on past the link's frame
    history.replaceState(null, '', address_of(null));
    set_state('running', `Seed ${run.seed}.`);
    budget = 0;
    escape_pressed = false; // an Esc is for the frames it was pressed among
  }
  function pause(state = 'paused') {
    set_state(state, state === 'done' ? `Seed ${run.seed}, frame ${run.frame}, as the link shows ` +
                                        'it. Start (or Space) runs on.' : paused_text());
  }
  function end(text) {
    update_link();
    set_state('ended', text);
  }

  // Frames before the one to show, worked out a slice at a time.
  function catch_up() {
    const until = performance.now() + 250; // a quarter of a second of work between progress lines
    const black = (data) => {
      for (let i = 0; i < data.length; i += 4)
        if (data[i] | data[i + 1] | data[i + 2])
          return false;
      return true;
    };
    while (performance.now() < until) {
      if (target === 'first light') {
        // (below the caption, which every frame shows)
        if ((run.frame > 0 && !black(picture.data.subarray(4 * width * 40))) || run.frame >= 600)
          target = run.frame;
        else if (!next_generation(false))
          target = run.frame;
        continue;
      }
      if (run.frame >= target || !next_generation(false, run.frame + 1 < target)) {
        const reached = run.frame;
        target = null;
        show();
        run.shown_at = performance.now();
        if (run.frames !== null && reached < run.frames)
          return end(`The link's run ends with Esc at frame ${reached}.`);
        pause(run.frames !== null ? 'done' : 'paused');
        if (reduced_motion.matches)
          run_button.focus();
        return;
      }
    }
    status.textContent = `Seed ${run.seed}: working out frame ${run.frame} of ` +
                         `${target === 'first light' ? 'the first to show' : target}…`;
  }

  // One frame of a running world, shown; Esc seen at its top ends the run instead.
  function run_shown_frame() {
    if (escape_pressed) {
      escape_pressed = false;
      return end(`Ended at frame ${run.frame}. Press Enter or "Start again" to run seed ${run.seed} again.`);
    }
    const began = performance.now();
    if (!next_generation(true))
      return end(`The link's run ends with Esc at frame ${run.frame}.`);
    show();
    run.times.push(performance.now() - began); // the frame and its picture on the canvas
    if (run.times.length > 600)
      run.times.shift();
  }

  // ---- The one frame loop: started once, whatever the address or the state does.
  let budget = 0, last_tick = null;
  function tick(now) {
    const elapsed = last_tick === null ? pace : now - last_tick;
    last_tick = now;
    if (run.state === 'catching') {
      catch_up();
    } else if (run.state === 'running') {
      budget = Math.min(budget + elapsed, 2 * pace);
      if (budget >= pace - 1.5) {
        budget = Math.max(0, budget - pace);
        run_shown_frame();
      }
    }
    if (link_stale && run.state !== 'catching')
      update_link();
    requestAnimationFrame(tick);
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

  // ---- Sharing, saving, full screen.
  function share() {
    update_link();
    const link = location.href.split('#')[0] + address_of(run.frame);
    const command = ['lincell-record', '--seed', run.seed, '--frames', run.frame,
                     ...(run.holds ? run.holds.split(',').flatMap((h) => ['--hold', h]) : []),
                     '--video', `lincell-${run.seed}.mp4`].join(' ');
    $('share-link').value = link;
    $('share-command').value = command;
    $('share-box').hidden = false;
    if (run.state === 'running')
      pause();
    const done = (how) => { status.textContent = `Link to frame ${run.frame} ${how}.`; };
    if (navigator.share && matchMedia('(pointer: coarse)').matches)
      navigator.share({ title: document.title, url: link }).then(() => done('shared'), () => {});
    else if (navigator.clipboard)
      navigator.clipboard.writeText(link).then(() => done('copied'), () => done('shown below'));
    else
      done('shown below');
  }
  function save_picture() {
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

  // ---- Keyboard: keys by the letter they type; by their place only where the
  // letter is not a Latin one (another script's layout).
  const keys_down = new Map(); // event.code -> the bit its press gave
  function letter_of(event) {
    const key = event.key.length === 1 ? event.key.toLowerCase() : '';
    if (/^[a-z]$/.test(key))
      return key;
    if (key && !/^[\x20-\x7e]$/.test(key))
      return { KeyC: 'c', KeyN: 'n', KeyM: 'm', KeyP: 'p', KeyF: 'f' }[event.code] || '';
    return key;
  }
  document.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey)
      return;
    const on_button = event.target instanceof HTMLButtonElement;
    const letter = letter_of(event);
    if (letter in bits) {
      event.preventDefault();
      if (!event.repeat && !keys_down.has(event.code)) {
        keys_down.set(event.code, bits[letter]);
        press(bits[letter]);
      }
    } else if (event.key === 'Escape') {
      if (run.state === 'running')
        escape_pressed = true;
    } else if ((event.key === ' ' || letter === 'p') && !(on_button && event.key === ' ')) {
      event.preventDefault();
      if (!event.repeat)
        start_or_pause();
    } else if (event.key === '.' || event.key === 'ArrowRight') {
      event.preventDefault();
      step();
    } else if (letter === 'f' && !event.repeat) {
      full_screen();
    } else if (event.key === 'Enter' && !on_button && run.state !== 'running') {
      start_or_pause();
    }
  });
  document.addEventListener('keyup', (event) => {
    if (keys_down.has(event.code)) {
      release(keys_down.get(event.code));
      keys_down.delete(event.code);
    }
  });
  // Keys and buttons held as the page loses the focus would never be seen let go.
  function release_all() {
    for (const bit of Object.values(bits))
      release(bit);
    keys_down.clear();
    for (const [button, pointers] of button_pointers) {
      pointers.clear();
      button.classList.remove('held');
    }
  }
  window.addEventListener('blur', release_all);
  document.addEventListener('visibilitychange', () => { if (document.hidden) release_all(); });

  // ---- Buttons: held by any number of pointers, acting until the last lets go;
  // a click with no pointer (the keyboard's Space or Enter, a screen reader) is a
  // press of one frame.
  const button_pointers = new Map();
  for (const button of document.querySelectorAll('button[data-key]')) {
    const bit = bits[button.dataset.key];
    const pointers = new Set();
    button_pointers.set(button, pointers);
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      try {
        button.setPointerCapture(event.pointerId);
      } catch {}
      if (pointers.size === 0)
        press(bit);
      pointers.add(event.pointerId);
      button.classList.add('held');
    });
    const let_go = (event) => {
      if (!pointers.delete(event.pointerId) || pointers.size > 0)
        return;
      release(bit);
      button.classList.remove('held');
    };
    for (const name of ['pointerup', 'pointercancel', 'lostpointercapture'])
      button.addEventListener(name, let_go);
    button.addEventListener('click', (event) => {
      if (event.detail === 0)
        waiting.push(bit);
    });
    button.addEventListener('contextmenu', (event) => event.preventDefault());
  }
  run_button.addEventListener('click', start_or_pause);
  step_button.addEventListener('click', step);
  $('share').addEventListener('click', share);
  $('save').addEventListener('click', save_picture);
  $('full').addEventListener('click', full_screen);
  canvas.addEventListener('pointerdown', () => canvas.focus());
  for (const id of ['share-link', 'share-command'])
    $(id).addEventListener('focus', (event) => event.target.select());

  // An address typed or pasted starts its run; the one frame loop goes on.
  window.addEventListener('hashchange', start_run);

  // ---- The picture's size: whole multiples of its pixels when it is shown larger
  // (sharp), smoothly scaled when the screen is too small for it.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const box = stage.getBoundingClientRect();
    let scale = Math.min(box.width * ratio / width, box.height * ratio / height);
    const sharp = scale >= 1;
    if (sharp)
      scale = Math.floor(scale);
    canvas.classList.toggle('sharp', sharp);
    canvas.style.width = `${(width * scale) / ratio}px`;
    canvas.style.height = `${(height * scale) / ratio}px`;
    canvas.style.visibility = 'visible'; // hidden until sized, so that nothing shifts
    run.scale = scale;
  }
  new ResizeObserver(fit).observe(stage);
  fit();

  if ('serviceWorker' in navigator && location.protocol !== 'file:')
    navigator.serviceWorker.register('sw.js').catch(() => {});

  start_run();
  requestAnimationFrame(tick);
})();
