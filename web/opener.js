// The opener, a worker of its own: it works out the frames before the one a
// link shows with a toy of its own, so that the page stays answerable and the
// work goes on in a background tab, then hands the page the run as it stands.

import { new_tally, tally } from './tally.js';
import { start_toy } from './toy.js';

const toy_ready = start_toy();
const slice = 20; // ms of work between looks at the page's messages
let stop_asked = false;

// Tell the page the frame reached, at most ten times a second.
let told = 0;
function tell(frame) {
  const now = performance.now();
  if (now - told >= 100) {
    told = now;
    self.postMessage({ progress: frame });
  }
}

// A turn for the page's messages (a stop) between slices.
const channel = new MessageChannel();
const turn = () => new Promise((resolve) => {
  channel.port1.onmessage = resolve;
  channel.port2.postMessage(0);
});

// Run `seed` with the holds in `code` up to frame `target`, or to the holds'
// Esc, or to a stop. Resolves to the toy's state, the frame reached, whether
// the holds' Esc ended the run, and the generations' counts.
async function open_run({ seed, code, target }) {
  const toy = await toy_ready;
  const k = toy.constants;
  toy.start(seed);
  const fault = code ? toy.read_code(code) : null;
  if (fault !== null)
    throw new Error(`the run's holds are not understood (${fault})`);
  const counts = new_tally();
  let ended = false;
  while (toy.frames() < target && !ended && !stop_asked) {
    const until = performance.now() + slice;
    while (toy.frames() < target && !ended && performance.now() < until)
      for (let i = 0; i < 16 && toy.frames() < target; i++) { // (a few generations between looks at the clock)
        const did = toy.advance(0);
        if (did === k.run_ended) {
          ended = true;
          break;
        }
        const keys = toy.keys();
        if (keys || did)
          tally(counts, k, toy.frames(), keys, did);
      }
    tell(toy.frames());
    await turn();
  }
  return { state: toy.copy_state(), frame: toy.frames(), ended, counts };
}

// { seed, code, target } starts the work, { stop: true } ends it early. The
// page hears { progress } and then { opened } (the state handed over) or { failed }.
self.onmessage = async ({ data }) => {
  if (data.stop) {
    stop_asked = true;
    return;
  }
  try {
    const opened = await open_run(data);
    self.postMessage({ opened }, [opened.state.buffer]);
  } catch (error) {
    self.postMessage({ failed: String(error?.message ?? error) });
  }
};
