// The notes of a conversion as the synthesizer's note-on and note-off events, in the order
// the converter plays them into its WAV: by time, and at one time every note-off before
// the note-ons, so that a re-struck pitch sounds again. Times are whole frames.

import facts from './facts.js';

// The converter's WAV: its sample rate, as long as the song plus a release tail in which the
// notes fade and the reverb dies away.
export const SAMPLE_RATE = facts.wav.sampleRate;
export const TAIL_SECONDS = facts.wav.tailSeconds;

// The frames of a song of `seconds` with its tail, rounded as the converter rounds them.
export function songFrames(seconds) {
  return Math.round((seconds + TAIL_SECONDS) * SAMPLE_RATE);
}

// The worker's notes: the numbers of each note in the core's order, the last two the first
// and last picture column it comes from.
export const NOTE_FIELDS = facts.noteRecord.length;
const field = (name) => facts.noteRecord.indexOf(name);
export const START = field('start');
export const END = field('end');
export const PITCH = field('pitch');
export const VELOCITY = field('velocity');
export const TRACK = field('track');
export const FIRST_COLUMN = field('firstColumn');
export const LAST_COLUMN = field('lastColumn');

// The melody's channel, then the chords', as in the file.
export const TRACK_CHANNELS = [facts.channels.melody, facts.channels.chords];

function trackChannel(track) {
  return TRACK_CHANNELS[track] ?? 0;
}

// Indices 0..count-1 ordered by key, ties kept in note order. Notes mostly arrive in time
// order already, and then nothing is sorted.
function orderBy(keys) {
  const order = new Uint32Array(keys.length);
  let sorted = true;
  for (let i = 0; i < keys.length; i++) {
    order[i] = i;
    if (i > 0 && keys[i] < keys[i - 1]) sorted = false;
  }
  return sorted ? order : order.sort((a, b) => keys[a] - keys[b] || a - b);
}

// The frame a note starts or ends on, rounded as the converter rounds it.
export function frameAt(seconds, sampleRate) {
  return Math.round(seconds * sampleRate);
}

export class SongEvents {
  // `channels`, when given, names the synthesizer channel of each note; otherwise a note plays
  // on its track's channel.
  constructor(notes, sampleRate, channels = null) {
    this.notes = notes;
    this.channels = channels;
    const count = Math.floor(notes.length / NOTE_FIELDS);
    // Keys are frame * 4 + rank: note-offs rank 0, note-ons 1, and the note-off of a note
    // that starts and ends in one frame 2, after its own note-on.
    this.onKeys = new Float64Array(count);
    this.offKeys = new Float64Array(count);
    for (let i = 0; i < count; i++) {
      const start = frameAt(notes[i * NOTE_FIELDS + START], sampleRate);
      const end = frameAt(notes[i * NOTE_FIELDS + END], sampleRate);
      this.onKeys[i] = start * 4 + 1;
      this.offKeys[i] = end * 4 + (end > start ? 0 : 2);
    }
    this.ons = orderBy(this.onKeys);
    this.offs = orderBy(this.offKeys);
    this.nextOn = 0;
    this.nextOff = 0;
  }

  // The frame of the next event, or Infinity when all have been played.
  nextFrame() {
    return Math.floor(this.nextKey() / 4);
  }

  nextKey() {
    const on = this.nextOn < this.ons.length ? this.onKeys[this.ons[this.nextOn]] : Infinity;
    const off = this.nextOff < this.offs.length ? this.offKeys[this.offs[this.nextOff]] : Infinity;
    return Math.min(on, off);
  }

  // Plays the next event into the synthesizer (midiNoteOn / midiNoteOff of js-synthesizer).
  playNext(synth) {
    const on = this.nextOn < this.ons.length ? this.onKeys[this.ons[this.nextOn]] : Infinity;
    const off = this.nextOff < this.offs.length ? this.offKeys[this.offs[this.nextOff]] : Infinity;
    if (on === Infinity && off === Infinity) return;
    const isOn = on < off;
    const note = isOn ? this.ons[this.nextOn++] : this.offs[this.nextOff++];
    const base = note * NOTE_FIELDS;
    const channel = this.channels ? this.channels[note] : trackChannel(this.notes[base + TRACK]);
    const pitch = this.notes[base + PITCH];
    if (isOn) synth.midiNoteOn(channel, pitch, this.notes[base + VELOCITY]);
    else synth.midiNoteOff(channel, pitch);
  }
}

// Renders left.length frames of the song from `frame` on into left and right: each event
// is played once every frame before it has been rendered.
export function renderFrames(synth, events, left, right, frame) {
  let done = 0;
  while (done < left.length) {
    while (events.nextFrame() <= frame + done) events.playNext(synth);
    const count = Math.min(left.length - done, events.nextFrame() - (frame + done));
    synth.render([left.subarray(done, done + count), right.subarray(done, done + count)]);
    done += count;
  }
}
