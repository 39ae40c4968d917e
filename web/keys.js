// The page's input: C, N and M by keyboard and by the buttons beside the
// picture, and the page's own keys (Space or P, ".", →, F, Esc, Enter). Every
// press acts once on a frame of its own, in the order they came, however short
// it was; a key still held after that acts on every frame until it is let go
// (with reduced motion, only the once). A key typed into a field is the field's.

// `bits` maps c, n and m to the core's key bits; `act(command)` hears the page's
// own keys ('pause', 'step', 'full', 'escape', 'enter'); `let_go()` hears that
// a key or button was let go. Returns the input's handle.
export function start_input({ bits, act, let_go, reduced_motion }) {
  let held = 0;       // bits of the keys and buttons down now
  const waiting = []; // presses no frame has acted on yet, in order, one a frame
  const keys_down = new Map(); // event.code -> the bit its press gave
  const button_pointers = new Map(); // button -> the pointers holding it
  let ignoring = false; // while true, keys and buttons do nothing (a link being opened)

  function press(bit) {
    if (ignoring)
      return;
    waiting.push(bit);
    held |= bit;
  }
  function release(bit) {
    if (!(held & bit))
      return;
    held &= ~bit;
    let_go();
  }

  // The keys for the next frame: the oldest press not yet acted on, and every
  // key still held that no later press is waiting for; none of the `blocked`
  // ones, whose presses wait for a frame that takes them.
  function keys_for_frame(blocked = 0) {
    const first = waiting.length && !(waiting[0] & blocked) ? waiting.shift() : 0;
    let still_waiting = 0;
    for (const bit of waiting)
      still_waiting |= bit;
    const keys = first | (reduced_motion.matches ? 0 : held & ~still_waiting & ~blocked);
    if (first & ~held)
      let_go(); // a press let go before its frame
    return keys;
  }

  // Keys by the letter they type; by their place only where the letter is not
  // a Latin one (another script's layout).
  function letter_of(event) {
    const key = event.key.length === 1 ? event.key.toLowerCase() : '';
    if (/^[a-z]$/.test(key))
      return key;
    if (key && !/^[\x20-\x7e]$/.test(key))
      return { KeyC: 'c', KeyN: 'n', KeyM: 'm', KeyP: 'p', KeyF: 'f' }[event.code] || '';
    return key;
  }
  const in_field = (target) => (target instanceof HTMLInputElement && !['checkbox', 'radio'].includes(target.type)) ||
                               target instanceof HTMLTextAreaElement || target instanceof HTMLSelectElement ||
                               target?.isContentEditable;

  document.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey || in_field(event.target))
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
      act('escape');
    } else if ((event.key === ' ' || letter === 'p') && !(on_button && event.key === ' ')) {
      event.preventDefault();
      if (!event.repeat)
        act('pause');
    } else if (event.key === '.' || event.key === 'ArrowRight') {
      event.preventDefault();
      act('step');
    } else if (letter === 'f' && !event.repeat) {
      act('full');
    } else if (event.key === 'Enter' && !on_button) {
      act('enter');
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
      show_held(button, false);
    }
  }
  window.addEventListener('blur', release_all);
  document.addEventListener('visibilitychange', () => { if (document.hidden) release_all(); });

  // Buttons: held by any number of pointers, acting until the last lets go; a
  // click with no pointer (the keyboard's Space or Enter, a screen reader) is a
  // press of one frame.
  function show_held(button, is_held) {
    button.classList.toggle('held', is_held);
    button.setAttribute('aria-pressed', String(is_held));
  }
  for (const button of document.querySelectorAll('button[data-key]')) {
    const bit = bits[button.dataset.key];
    const pointers = new Set();
    button_pointers.set(button, pointers);
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      if (ignoring)
        return;
      try {
        button.setPointerCapture(event.pointerId);
      } catch {}
      if (pointers.size === 0)
        press(bit);
      pointers.add(event.pointerId);
      show_held(button, true);
    });
    const lift = (event) => {
      if (!pointers.delete(event.pointerId) || pointers.size > 0)
        return;
      release(bit);
      show_held(button, false);
    };
    for (const name of ['pointerup', 'pointercancel', 'lostpointercapture'])
      button.addEventListener(name, lift);
    button.addEventListener('click', (event) => {
      if (event.detail === 0 && !ignoring)
        waiting.push(bit);
    });
    button.addEventListener('contextmenu', (event) => event.preventDefault());
  }

  return {
    keys_for_frame,
    // Forget every press and hold: a new run starts with none.
    reset() {
      held = 0;
      waiting.length = 0;
      keys_down.clear();
      for (const [button, pointers] of button_pointers) {
        pointers.clear();
        show_held(button, false);
      }
    },
    // Ignore C, N and M (while a link is being opened), or take them again.
    ignore(yes) {
      ignoring = yes;
      if (yes)
        this.reset();
    },
  };
}
