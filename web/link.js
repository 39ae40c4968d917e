// The page's address as a link to a run: #seed=S, then run=CODE (the holds in
// the toy's compact code) or the older hold=KEYS@A[-B],..., and frames=K.
// Whatever the address holds that the page does not understand is said on the
// page and kept in the address as it came, never cut.

const names = ['seed', 'run', 'hold', 'frames'];

// The address's parts: seed and frames as numbers (or null), the holds' code or
// text (or null), notes on what was not understood, and the parts kept as they came.
export function read_address(hash, most_seed, most_frames) {
  const notes = [], kept = [], seen = {}, raw = {};
  const shown = (text) => (text === '' ? '(empty)' : JSON.stringify(text.slice(0, 40)));
  for (const part of hash.replace(/^#/, '').split('&')) {
    if (part === '')
      continue;
    const equals = part.indexOf('=');
    let name, value;
    try {
      name = decodeURIComponent(equals < 0 ? part : part.slice(0, equals));
      value = equals < 0 ? null : decodeURIComponent(part.slice(equals + 1).replace(/\+/g, ' '));
    } catch {
      notes.push(`${shown(part)} is not understood (a bad %-escape); it is ignored.`);
      kept.push(part);
      continue;
    }
    if (!names.includes(name) || value === null) {
      notes.push(`${shown(part)} is not understood; it is ignored.`);
      kept.push(part);
    } else if (name in seen) {
      notes.push(`${name}= is given twice; the first is used, the second ${shown(value)} ignored.`);
      kept.push(part);
    } else {
      seen[name] = value;
      raw[name] = part;
    }
  }
  const number = (name, most) => {
    if (!(name in seen))
      return null;
    const text = seen[name];
    if (/^[0-9]{1,10}$/.test(text) && Number(text) <= most)
      return Number(text);
    notes.push(`${name}=${shown(text)} is not a whole number from 0 to ${most}; it is ignored.`);
    return null;
  };
  const seed = number('seed', most_seed);
  let frames = number('frames', most_frames);
  let code = 'run' in seen ? seen.run : null, holds = 'hold' in seen ? seen.hold : null;
  if (code !== null && holds !== null) {
    notes.push('run= and hold= are both given; run= is used, hold= ignored.');
    kept.push(raw.hold);
    holds = null;
  }
  if (seed === null && (frames !== null || holds !== null || code !== null)) {
    notes.push('frames=, run= and hold= need a seed= beside them; they are ignored.');
    frames = holds = code = null;
  }
  return { seed, frames, code, holds, notes, kept, raw };
}

// The address of a run: its seed, its holds' code, the frame it opens on (or
// null to run), and the parts kept as they came.
export function address_of(seed, code, frames, kept = []) {
  let hash = `#seed=${seed}`;
  if (code)
    hash += `&run=${code}`;
  if (frames !== null)
    hash += `&frames=${frames}`;
  for (const part of kept)
    hash += `&${part}`;
  return hash;
}

// Text quoted for a POSIX shell: itself when it is plainly safe, else in single quotes.
export function shell_quoted(text) {
  const s = String(text);
  return /^[A-Za-z0-9@%+=:,./_-]+$/.test(s) ? s : `'${s.replace(/'/g, `'\\''`)}'`;
}

// The recorder's command line that renders the run of `link` as a video.
export function command_line(link, seed, frames) {
  return ['lincell-record', '--link', link, '--video', `lincell-${seed}-${frames}.mp4`]
    .map(shell_quoted).join(' ');
}
