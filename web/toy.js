// The bridge to the toy's WebAssembly (lincell.js and lincell.wasm): the core's
// run and its constants, the picture's pixels, and text both ways through the
// module's one buffer. Nothing else in the page touches the module. The page
// and the clip maker's worker each start a toy of their own.
import startLincell from './lincell.js';

// Start the module. Resolves to the toy, or rejects when it cannot be loaded.
export async function start_toy() {
  const module = await startLincell();
  const text_at = module._page_text(), text_size = module._page_text_size();
  const put_text = (s) => {
    const bytes = new TextEncoder().encode(s);
    if (bytes.length >= text_size)
      return -1;
    module.HEAPU8.set(bytes, text_at);
    module.HEAPU8[text_at + bytes.length] = 0;
    return bytes.length;
  };
  const get_text = (length) => {
    const heap = module.HEAPU8;
    let end = text_at;
    if (length === undefined)
      while (heap[end])
        end++;
    else
      end = text_at + length;
    return new TextDecoder().decode(heap.subarray(text_at, end));
  };
  const read_text = (text, read) => {
    const length = put_text(text);
    if (length < 0)
      return 'longer than a run can keep';
    return read(length) < 0 ? get_text() : null;
  };
  const written_text = (length) => (length < 0 ? null : get_text(length));
  const constants = Object.freeze(JSON.parse(get_text(module._page_constants())));
  const picture = new ImageData(
    new Uint8ClampedArray(module.HEAPU8.buffer, module._page_pixels(),
                          constants.width * constants.height * 4),
    constants.width, constants.height);

  return {
    constants,
    picture, // the canvas's pixels, as paint() leaves them
    // A new run of `seed`, no holds, at frame 0; false when the caption font was refused.
    start: (seed) => module._start_page(seed) === 1,
    // The holds as text, or in the compact code a link carries (run=), taken
    // whole: null when they are good, else why not.
    read_holds: (text) => read_text(text, module._page_read_holds),
    read_code: (text) => read_text(text, module._page_read_code),
    // The run's holds as text, or null when they do not fit in the buffer; and in the code.
    write_holds: () => written_text(module._page_write_holds()),
    write_code: () => written_text(module._page_write_code()),
    // The next generation with the keys held live: did_* bits, or run_ended.
    advance: (live) => module._advance_page(live),
    paint: () => module._paint_page(),
    frames: () => module._page_frames(),
    keys: () => module._page_keys(),
    keys_at: (k) => module._page_keys_at(k),
    is_recorded: () => module._page_is_recorded() === 1,
    // The flashes a second the pictures painted so far show; the count afresh.
    note_flashes: () => module._page_note_flashes(),
    clear_flashes: () => module._page_clear_flashes(),
    // The toy's whole state is its module's memory (static storage, of a fixed
    // size): a copy of it carries a run to another toy of the same build.
    copy_state: () => module.HEAPU8.slice(),
    take_state: (state) => state.length === module.HEAPU8.length && (module.HEAPU8.set(state), true),
    // Whether the run's holds give C or N more often than the flash guard would.
    holds_flash: () => module._page_holds_flash() === 1,
  };
}
