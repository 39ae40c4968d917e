// The page's one frame loop, and its pace: at most 60 generations a second on
// any screen, with no time owed ever dropped or forgiven. The loop asks for the
// screen's frames only while something is moving; a still page costs nothing.

// Generations due as time passes, `pace` ms apart. A generation may come up to
// 1.5 ms early to meet a 60 Hz screen's frame; the time it borrowed is paid back.
export function make_pacer(pace) {
  let owed = 0; // ms of generations not yet run, at most two generations' worth
  return {
    reset() { owed = 0; },
    // Whether a generation is due once `elapsed` more ms have passed.
    due(elapsed) {
      owed = Math.min(owed + elapsed, 2 * pace);
      if (owed < pace - 1.5)
        return false;
      owed -= pace;
      return true;
    },
  };
}

// Call `tick(elapsed)` on each of the screen's frames for as long as it returns
// true; wake() starts it again. The first frame after a wake counts as one pace.
export function start_loop(tick, pace) {
  let last = null, asked = false;
  function frame(now) {
    asked = false;
    const elapsed = last === null ? pace : now - last;
    last = now;
    if (tick(elapsed))
      wake();
    else
      last = null;
  }
  function wake() {
    if (!asked) {
      asked = true;
      requestAnimationFrame(frame);
    }
  }
  return { wake };
}
