// Numbers as the page shows them.

import facts from './facts.js';

// The twelve note names with sharps, as the converter's --key names its keys.
const PITCH_NAMES = facts.options.find((option) => option.name === '--key').choices
  .map((choice) => choice.value);

// MIDI note number to name, middle C (60) being C4 as on the converter's piano roll.
export function noteName(pitch) {
  return `${PITCH_NAMES[pitch % 12]}${Math.floor(pitch / 12) - 1}`;
}

// A length as m:ss, or h:mm:ss from an hour on, to the nearest second.
export function formatDuration(seconds) {
  const total = Math.round(Math.max(0, seconds));
  const s = String(total % 60).padStart(2, '0');
  const minutes = Math.floor(total / 60);
  if (minutes < 60) return `${minutes}:${s}`;
  return `${Math.floor(minutes / 60)}:${String(minutes % 60).padStart(2, '0')}:${s}`;
}

// A time within a song as m:ss.s, to the nearest tenth of a second.
export function formatTime(seconds) {
  const tenths = Math.round(Math.max(0, seconds) * 10);
  const minutes = Math.floor(tenths / 600);
  return `${minutes}:${((tenths % 600) / 10).toFixed(1).padStart(4, '0')}`;
}
