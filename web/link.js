// The page's address as a link to a run: #seed=S, then hold=KEYS@A[-B],... and
// frames=K. Whatever the address holds that the page does not understand is
// said on the page and kept in the address as it came, never cut.

const names = ['seed', 'hold', 'frames'];

// The address's parts: seed and frames as numbers (or null), the holds' text (or
// null), notes on what was not understood, and the parts kept as they came.
export function read_address(hash, most_seed, most_frames) {
  const notes = [], kept = [], seen = {};
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
  let frames = number('frames', most_frames), holds = 'hold' in seen ? seen.hold : null;
  if (seed === null && (frames !== null || holds !== null)) {
    notes.push('frames= and hold= need a seed= beside them; they are ignored.');
    frames = holds = null;
  }
  return { seed, frames, holds, notes, kept };
}

// The address of a run: its seed, its holds' text, the frame it opens on (or
// null to run), and the parts kept as they came.
export function address_of(seed, holds, frames, kept = []) {
  let hash = `#seed=${seed}`;
  if (holds)
    hash += `&hold=${holds}`;
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

// The recorder's command line that renders the same run as a video, from the
// core's own written holds.
export function command_line(seed, frames, holds) {
  const words = ['lincell-record', '--seed', seed, '--frames', frames,
                 ...(holds ? holds.split(',').flatMap((h) => ['--hold', h]) : []),
                 '--video', `lincell-${seed}.mp4`];
  return words.map(shell_quoted).join(' ');
}
