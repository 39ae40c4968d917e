// lincell in a browser tab: reads the world's seed from the address, starts the
// toy's WebAssembly and runs one frame per displayed frame with the keys held,
// read once at the top of each. The frame itself is the one the window runs.
'use strict';

(async () => {
  const width = 800, height = 600;
  const most_seed = 4294967295, most_frames = 10000000;
  const keys = { KeyC: 1, KeyN: 2, KeyM: 4 }; // the bits run_page_frame takes
  const canvas = document.getElementById('world');
  const context = canvas.getContext('2d', { alpha: false });
  const status = document.getElementById('status');
  const note = document.getElementById('note');
  const run_button = document.getElementById('run');

  const toy = await startLincell();
  const picture = new ImageData(
    new Uint8ClampedArray(toy.HEAPU8.buffer, toy._page_pixels(), width * height * 4), width, height);

  // What the page shows and the tests read: the run's state and its counts.
  // `held` lists the frames that ran with keys held, as [frame, bits] (the last 1000).
  const run = { seed: 0, frames: null, frame: 0, state: 'starting', colors: 0, worlds: 0,
                nudges: 0, watch: 0, held: [], times: [] };
  window.lincell = run;

  // Keys held on the keyboard and buttons held by a pointer, as run_page_frame's bits.
  let keyboard = 0, buttons = 0, escape = false;

  // The address: #seed=S (0..4294967295) and, with it, frames=K. A value that is
  // not a plain number in range is ignored and said so.
  function read_address() {
    const params = new URLSearchParams(location.hash.slice(1));
    const notes = [];
    const number = (name, most) => {
      if (!params.has(name))
        return null;
      const text = params.get(name);
      if (/^[0-9]{1,10}$/.test(text) && Number(text) <= most)
        return Number(text);
      notes.push(`${name}=${text === '' ? '(empty)' : JSON.stringify(text)} is not a whole number ` +
                 `from 0 to ${most}; it is ignored.`);
      return null;
    };
    const seed = number('seed', most_seed);
    let frames = number('frames', most_frames);
    if (frames !== null && seed === null) {
      notes.push('frames= needs a seed= beside it; it is ignored.');
      frames = null;
    }
    note.hidden = notes.length === 0;
    note.textContent = notes.join(' ');
    return { seed, frames };
  }

  function say(text) {
    status.textContent = text;
  }

  function show_state(state) {
    run.state = state;
    document.body.dataset.state = state;
    run_button.textContent = state === 'running' ? 'End' : state === 'paused' ? 'Start' : 'Start again';
  }

  // A new run: the address's seed, or the clock's in whole seconds written into the
  // address without reloading, so that copying the address shares this world.
  function start_run(use_address) {
    const pinned = use_address ? read_address() : { seed: null, frames: null };
    run.seed = pinned.seed !== null ? pinned.seed : Math.floor(Date.now() / 1000) % (most_seed + 1);
    run.frames = pinned.frames;
    if (pinned.seed === null)
      history.replaceState(null, '', `#seed=${run.seed}`);
    Object.assign(run, { frame: 0, colors: 0, worlds: 0, nudges: 0, watch: 0, held: [], times: [] });
    if (!toy._start_page(run.seed))
      console.error('lincell: the caption font was refused; running without the caption');
    context.fillStyle = '#000';
    context.fillRect(0, 0, width, height);
    escape = false;
  }

  function go() {
    show_state('running');
    say(`Seed ${run.seed}.`);
    canvas.focus();
    requestAnimationFrame(next_frame);
  }

  function end(text) {
    show_state(run.frames !== null && run.frame >= run.frames ? 'done' : 'ended');
    say(text);
  }

  // One displayed frame: Esc seen at the top ends the run; otherwise the keys held
  // now are the frame's, and its picture goes onto the canvas.
  function next_frame() {
    if (run.state !== 'running')
      return;
    if (escape)
      return end(`Ended at frame ${run.frame}. Press Enter or "Start again" for a new world.`);
    if (run.frames !== null && run.frame >= run.frames)
      return end(`Stopped at frame ${run.frame} of seed ${run.seed}. Press Enter or "Start again" for a new world.`);
    const held = keyboard | buttons;
    const began = performance.now();
    const did = toy._run_page_frame(held);
    context.putImageData(picture, 0, 0);
    run.times.push(performance.now() - began);
    if (run.times.length > 600)
      run.times.shift();
    run.frame++;
    if (held) {
      run.held.push([run.frame, held]);
      if (run.held.length > 1000)
        run.held.shift();
    }
    run.colors += did & 1 ? 1 : 0;
    run.worlds += did & 2 ? 1 : 0;
    run.nudges += did & 4 ? 1 : 0;
    run.watch += did & 8 ? 1 : 0;
    requestAnimationFrame(next_frame);
  }

  function restart() {
    start_run(false);
    go();
  }

  document.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey)
      return;
    if (event.code in keys) {
      keyboard |= keys[event.code];
      event.preventDefault();
    } else if (event.code === 'Escape') {
      escape = true;
    } else if (event.code === 'Enter' && run.state !== 'running' && event.target === canvas) {
      run.state === 'paused' ? go() : restart();
    }
  });
  document.addEventListener('keyup', (event) => {
    if (event.code in keys)
      keyboard &= ~keys[event.code];
  });
  // Keys held as the page loses the focus would never be seen let go.
  const release_all = () => { keyboard = 0; buttons = 0; };
  window.addEventListener('blur', release_all);
  document.addEventListener('visibilitychange', () => { if (document.hidden) release_all(); });

  // The buttons act while pressed, by mouse, pen or finger alike.
  for (const button of document.querySelectorAll('button[data-key]')) {
    const bit = Number(button.dataset.key);
    const press = (event) => {
      button.setPointerCapture(event.pointerId);
      buttons |= bit;
      button.classList.add('held');
      event.preventDefault();
    };
    const release = () => {
      buttons &= ~bit;
      button.classList.remove('held');
    };
    button.addEventListener('pointerdown', press);
    for (const name of ['pointerup', 'pointercancel', 'lostpointercapture'])
      button.addEventListener(name, release);
    button.addEventListener('contextmenu', (event) => event.preventDefault());
  }
  run_button.addEventListener('click', () => {
    if (run.state === 'running')
      escape = true;
    else if (run.state === 'paused')
      go();
    else
      restart();
  });
  canvas.addEventListener('pointerdown', () => canvas.focus());
  // A seed typed or pasted into the address starts its world.
  window.addEventListener('hashchange', () => {
    start_run(true);
    go();
  });

  start_run(true);
  if (matchMedia('(prefers-reduced-motion: reduce)').matches) {
    show_state('paused');
    say('Paused, as your system asks for reduced motion. The picture moves and may flash: press ' +
        'Start (or Enter) to run it.');
  } else {
    go();
  }
})();
