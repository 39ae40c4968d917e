// The clip maker, a worker of its own: it replays a run from its seed and holds
// with a toy of its own, then paints each of the clip's frames and encodes it
// with the browser's video encoder into an MP4 that carries the run's link. The
// page's run is never touched, so nothing of it is lost while a clip is made.
import { ArrayBufferTarget, Muxer } from './mp4-muxer.js';
import { start_toy } from './toy.js';

const rate = 60; // frames a second, the toy's own pace
const key_every = 5 * rate; // a key frame every five seconds, for seeking

// The encoders tried, the first the browser has wins: H.264 plays and previews
// almost everywhere; VP9 and AV1 in MP4 where H.264 cannot be made. H.264 at a
// fixed quantizer where the browser takes one (Firefox), else asked for screen
// content (sharp edges, flat colours: the toy's cells), which keeps the busiest
// pictures closest to the frames (Chromium); VP9 and AV1 at a fixed quantizer
// where the browser allows it, so that every frame gets the bits it needs.
// (docs/performance.md has the trials.)
const choices = [
  { name: 'H.264', muxer: 'avc', quantizer: 18,
    config: { codec: 'avc1.640020', bitrateMode: 'quantizer', latencyMode: 'realtime', avc: { format: 'avc' } } },
  ...['avc1.640020', 'avc1.4d0020', 'avc1.42e020'].map((codec) => (
    { name: 'H.264', muxer: 'avc', config: { codec, bitrate: 20e6, contentHint: 'detail', avc: { format: 'avc' } } })),
  { name: 'VP9', muxer: 'vp9', config: { codec: 'vp09.00.31.08', bitrateMode: 'quantizer' }, quantizer: 40 },
  { name: 'AV1', muxer: 'av1', config: { codec: 'av01.0.05M.08', bitrateMode: 'quantizer' }, quantizer: 40 },
  { name: 'VP9', muxer: 'vp9', config: { codec: 'vp09.00.31.08', bitrate: 30e6 } },
  { name: 'AV1', muxer: 'av1', config: { codec: 'av01.0.05M.08', bitrate: 30e6 } },
];

// The first encoder of `choices` this browser has, with its configuration; null when none.
async function choose_encoder(width, height) {
  if (typeof VideoEncoder === 'undefined')
    return null;
  for (const choice of choices) {
    const config = { latencyMode: 'quality', ...choice.config, width, height, framerate: rate };
    try {
      if ((await VideoEncoder.isConfigSupported(config)).supported)
        return { choice, config };
    } catch {} // (a codec string this browser does not know)
  }
  return null;
}

// Hand the muxer the encoder's chunks, each with the time it is decoded at.
// Some encoders (Firefox's H.264) send frames ahead of the ones shown before
// them; decoding then starts as many frames early as the furthest is ahead.
function add_in_decode_order(muxer, chunks) {
  const shown = chunks.map(([chunk]) => chunk.timestamp);
  const times = [...shown].sort((a, b) => a - b);
  const ahead = Math.max(...times.map((time, n) => time - shown[n]));
  chunks.forEach(([chunk, meta], n) => muxer.addVideoChunk(chunk, meta, shown[n], shown[n] - (times[n] - ahead)));
}

// Make the clip of frames first..last of the run of `seed` with the holds in
// `code`, tagged with `link`; `progress(frame)` is told the run's frame reached.
// Resolves to { bytes, codec }, or to { no_encoder: true } where the browser has none.
async function make_clip({ seed, code, first, last, link }, progress) {
  const toy = await start_toy();
  const k = toy.constants;
  const encoder_choice = await choose_encoder(k.width, k.height);
  if (!encoder_choice)
    return { no_encoder: true };
  toy.start(seed);
  const fault = code ? toy.read_code(code) : null;
  if (fault !== null)
    throw new Error(`the run's holds are not understood (${fault})`);
  while (toy.frames() < first - 1) {
    if (toy.advance(0) === k.run_ended)
      throw new Error(`the run ends before frame ${first}`);
    if (toy.frames() % 256 === 0)
      progress(toy.frames());
  }

  const { choice, config } = encoder_choice;
  const muxer = new Muxer({ target: new ArrayBufferTarget(), fastStart: 'in-memory', comment: link,
                            video: { codec: choice.muxer, width: k.width, height: k.height, frameRate: rate },
                            firstTimestampBehavior: 'offset' });
  let failure = null;
  const chunks = []; // [chunk, meta], in the order they are to be decoded
  const encoder = new VideoEncoder({
    output: (chunk, meta) => chunks.push([chunk, meta]),
    error: (error) => { failure = error; },
  });
  encoder.configure(config);
  for (let frame = first; frame <= last; frame++) {
    if (toy.advance(0) === k.run_ended)
      throw new Error(`the run ends before frame ${frame}`);
    toy.paint();
    const n = frame - first;
    const picture = new VideoFrame(toy.picture.data, {
      format: 'RGBX', codedWidth: k.width, codedHeight: k.height,
      timestamp: Math.round((n * 1e6) / rate), duration: Math.round(1e6 / rate) });
    const options = { keyFrame: n % key_every === 0 };
    if (choice.quantizer !== undefined)
      options[choice.muxer] = { quantizer: choice.quantizer };
    encoder.encode(picture, options);
    picture.close();
    while (encoder.encodeQueueSize > 2 && !failure) // (no more than a few frames waiting)
      await new Promise((resolve) => setTimeout(resolve, 1));
    if (failure)
      throw failure;
    progress(frame);
  }
  await encoder.flush();
  encoder.close();
  if (failure)
    throw failure;
  add_in_decode_order(muxer, chunks);
  muxer.finalize();
  return { bytes: muxer.target.buffer, codec: choice.name };
}

// One clip a message: { seed, code, first, last, link } in; { progress } (the
// run's frame reached, at most ten a second), then { clip } (its bytes handed
// over), { no_encoder } or { failed }.
self.onmessage = async ({ data }) => {
  let told = 0;
  const progress = (frame) => {
    const now = performance.now();
    if (now - told >= 100) {
      told = now;
      self.postMessage({ progress: frame });
    }
  };
  try {
    const made = await make_clip(data, progress);
    if (made.no_encoder)
      self.postMessage({ no_encoder: true });
    else
      self.postMessage({ clip: made }, [made.bytes]);
  } catch (error) {
    self.postMessage({ failed: String(error?.message ?? error) });
  }
};
