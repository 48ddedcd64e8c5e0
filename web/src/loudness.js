// Play's level, made as the converter makes its WAV's: the loudest sample at -1 dBFS (pure).
// The converter scales the whole song once its peak is known; Play cannot wait for the whole
// song, so its sound worker renders ahead of what is heard and scales each block by the gain
// for the loudest sample rendered so far. That gain only ever falls, and it falls (gliding
// over the block before) before a louder sample is heard, so no sample passes -1 dBFS, and the
// loudest sample of the song is heard at exactly -1 dBFS, as in the WAV.

import facts from './facts.js';

// The converter's WAV: where its loudest sample stands, in dB below full scale, and the peak
// below which a song counts as silence (half a step of its samples), which it leaves unscaled.
const WAV_PEAK_DBFS = facts.wav.peakDbfs;
const SILENT_PEAK = 0.5 / (2 ** (facts.wav.bitsPerSample - 1) - 1);

export function normalisingGain(peak) {
  return peak >= SILENT_PEAK ? 10 ** (WAV_PEAK_DBFS / 20) / peak : 1;
}

// The largest magnitude among the samples of the given channels.
export function peakOf(...channels) {
  let peak = 0;
  for (const samples of channels) {
    for (const sample of samples) {
      const magnitude = Math.abs(sample);
      if (magnitude > peak) peak = magnitude;
    }
  }
  return peak;
}

// Scales the block's channels in place by a gain gliding from `from` at its first frame to
// `to` at its last, so that a change of gain makes no click.
export function applyGain(channels, from, to) {
  const frames = channels[0].length;
  const step = frames > 1 ? (to - from) / (frames - 1) : 0;
  for (const samples of channels) {
    for (let i = 0; i < frames; i++) samples[i] *= from + step * i;
  }
}
