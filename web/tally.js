// What a run's generations did, counted: one count per did_* bit of the core,
// the frames that ran with keys held (the last 1000, as [frame, keys]), and the
// last frame given C or N, which the flash guard reads. The page keeps one; the
// opener counts the frames it works out into one of its own and hands it over.

export const new_tally = () => ({ recolor: 0, reseed: 0, mutate: 0, watch: 0, held: [], last_flashy: -Infinity });

// Count generation `frame`, given `keys`, which did `did` (the core's constants in `k`).
export function tally(counts, k, frame, keys, did) {
  if (keys & (k.key_c | k.key_n))
    counts.last_flashy = frame;
  if (keys) {
    counts.held.push([frame, keys]);
    if (counts.held.length > 1000)
      counts.held.shift();
  }
  counts.recolor += did & k.did_recolor ? 1 : 0;
  counts.reseed += did & k.did_reseed ? 1 : 0;
  counts.mutate += did & k.did_mutate ? 1 : 0;
  counts.watch += did & k.did_watch ? 1 : 0;
}
