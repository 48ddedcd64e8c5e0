// How an instrument of the General MIDI SoundFont is cut into pieces the page can fetch one at
// a time: each piece covers a range of keys and holds every zone that sounds on any of them,
// so a note played from its piece sounds exactly as from the whole SoundFont. Pure; the
// SoundFont itself is read and written by split-sound-font.mjs.

export const ALL_KEYS = { low: 0, high: 127 };

// A zone's key range as the SoundFont gives it (a missing range is -1..127 in
// spessasynth_core): all keys when it has none.
export function keysOf(range) {
  return range && range.min >= 0 ? { low: range.min, high: Math.min(range.max, 127) } : ALL_KEYS;
}

export function overlaps(a, b) {
  return a.low <= b.high && b.low <= a.high;
}

// The key ranges of the pieces of one instrument, lowest first, covering 0..127 without gaps.
// `zones` are the instrument's sounding zones, each {keys: {low, high}, sample, bytes}: a
// piece grows key by key while the samples it needs stay within `targetBytes` (a sample
// counted once), and a range over which the set of zones stays the same is never split.
export function planPieces(zones, targetBytes) {
  const starts = new Set([0]);
  for (const { keys } of zones) {
    starts.add(keys.low);
    if (keys.high < 127) starts.add(keys.high + 1);
  }
  const bounds = [...starts].sort((a, b) => a - b);
  const spans = bounds.map((low, i) => ({ low, high: (bounds[i + 1] ?? 128) - 1 }));

  const bytesOf = (keys) => {
    const samples = new Map();
    for (const zone of zones) if (overlaps(zone.keys, keys)) samples.set(zone.sample, zone.bytes);
    let sum = 0;
    for (const bytes of samples.values()) sum += bytes;
    return sum;
  };

  const pieces = [];
  for (const span of spans) {
    const last = pieces.at(-1);
    if (last && bytesOf({ low: last.low, high: span.high }) <= targetBytes) last.high = span.high;
    else pieces.push({ ...span });
  }
  return pieces;
}
