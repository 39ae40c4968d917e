// Clips: the last seconds of the run as a video file, made by the clip maker's
// worker from the run's seed and holds, frame for frame, however the screen kept
// up. The page loads this module when a clip is first asked for, not before.

// Start making the clip of frames first..last of the run of `seed` and its
// holds' `code`, tagged with `link`. `told(frame)` hears the frame reached.
// Returns { made, cancel }: `made` resolves to { file, codec } or { no_encoder },
// or rejects with the reason; cancel() stops the work at once and rejects `made`.
export function make_clip({ seed, code, first, last, link }, told) {
  const worker = new Worker(new URL('./clip_maker.js', import.meta.url), { type: 'module' });
  let cancel;
  const made = new Promise((resolve, reject) => {
    const finish = (then, value) => {
      worker.terminate();
      then(value);
    };
    cancel = () => finish(reject, new Error('cancelled'));
    worker.onerror = (event) => finish(reject, new Error(event.message || 'the clip maker did not start'));
    worker.onmessage = ({ data }) => {
      if (data.progress !== undefined)
        told(data.progress);
      else if (data.failed !== undefined)
        finish(reject, new Error(data.failed));
      else if (data.no_encoder)
        finish(resolve, { no_encoder: true });
      else
        finish(resolve, { codec: data.clip.codec,
                          file: new File([data.clip.bytes], clip_name(seed, first, last), { type: 'video/mp4' }) });
    };
  });
  worker.postMessage({ seed, code, first, last, link });
  return { made, cancel };
}

// A clip's file name: the run's seed and its frames.
export function clip_name(seed, first, last) {
  return `lincell-seed-${seed}-frames-${first}-${last}.mp4`;
}
