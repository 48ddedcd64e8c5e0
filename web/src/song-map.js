// Where each note of a song is, in time and in the picture: the notes in start order with the
// latest end up to each (the first note that can still sound at a time is found by halving),
// the melody's notes in picture order, and the way back from a time, a pitch or a picture
// column to a note. Pure: no DOM.

import {
  END, FIRST_COLUMN, LAST_COLUMN, NOTE_FIELDS, PITCH, START, TRACK, VELOCITY,
} from './song-events.js';

const MELODY_TRACK = 0;

// The first index in 0..count-1 for which `after(i)` holds, or count; `after` must hold for
// every index from some point on.
function firstWhere(count, after) {
  let low = 0;
  let high = count;
  while (low < high) {
    const middle = (low + high) >> 1;
    if (after(middle)) high = middle;
    else low = middle + 1;
  }
  return low;
}

export class SongMap {
  // notes: the worker's Float32Array; picture: {width, height, rows: [{fromTop, role}]}.
  constructor(notes, picture = { width: 0, height: 0, rows: [] }) {
    this.notes = notes;
    this.picture = picture;
    const count = Math.floor(notes.length / NOTE_FIELDS);
    this.count = count;
    const starts = new Float64Array(count);
    const order = new Uint32Array(count);
    let sorted = true;
    for (let i = 0; i < count; i++) {
      starts[i] = notes[i * NOTE_FIELDS + START];
      order[i] = i;
      if (i > 0 && starts[i] < starts[i - 1]) sorted = false;
    }
    if (!sorted) order.sort((a, b) => starts[a] - starts[b] || a - b);
    this.order = order;
    this.reach = new Float64Array(count);
    let latest = -Infinity;
    const melody = [];
    for (let i = 0; i < count; i++) {
      const note = order[i];
      latest = Math.max(latest, this.field(note, END));
      this.reach[i] = latest;
      if (this.field(note, TRACK) === MELODY_TRACK) melody.push(note);
    }
    // The melody plays the picture's columns from left to right.
    this.melody = Uint32Array.from(melody);
  }

  field(note, field) {
    return this.notes[note * NOTE_FIELDS + field];
  }

  // The note's numbers: {start, end, pitch, velocity, track, firstColumn, lastColumn}.
  note(note) {
    return {
      start: this.field(note, START), end: this.field(note, END), pitch: this.field(note, PITCH),
      velocity: this.field(note, VELOCITY), track: this.field(note, TRACK),
      firstColumn: this.field(note, FIRST_COLUMN), lastColumn: this.field(note, LAST_COLUMN),
    };
  }

  // The first place in start order whose note may still sound at `seconds`.
  firstSounding(seconds) {
    return firstWhere(this.count, (i) => this.reach[i] >= seconds);
  }

  // Every note whose start is before `to` and whose end is after `from`, in start order.
  *between(from, to) {
    for (let i = this.firstSounding(from); i < this.count; i++) {
      const note = this.order[i];
      if (this.field(note, START) > to) return;
      if (this.field(note, END) >= from) yield note;
    }
  }

  // The note of this pitch sounding at `seconds` (the melody's before the chords'), or -1.
  noteAt(seconds, pitch) {
    let found = -1;
    for (const note of this.between(seconds, seconds)) {
      if (this.field(note, PITCH) !== pitch) continue;
      if (found < 0 || this.field(note, TRACK) < this.field(found, TRACK)) found = note;
    }
    return found;
  }

  // The place in `melody` of the last melody note to start by `seconds`, or -1.
  melodyIndexAt(seconds) {
    const melody = this.melody;
    return firstWhere(melody.length, (i) => this.field(melody[i], START) > seconds) - 1;
  }

  // The melody note made of this picture column, or -1.
  noteAtColumn(column) {
    const melody = this.melody;
    const index = firstWhere(melody.length, (i) => this.field(melody[i], FIRST_COLUMN) > column) - 1;
    if (index < 0 || this.field(melody[index], LAST_COLUMN) < column) return -1;
    return melody[index];
  }

  // The picture column the song has reached at `seconds`, as a fraction: from a melody note's
  // first column on to the next note's, as time goes from the one's start to the other's; the
  // last note goes on to its last column's end.
  columnAt(seconds) {
    const index = this.melodyIndexAt(seconds);
    if (index < 0) return 0;
    const note = this.melody[index];
    const next = this.melody[index + 1];
    const start = this.field(note, START);
    const from = this.field(note, FIRST_COLUMN);
    const end = next === undefined ? this.field(note, END) : this.field(next, START);
    const to = next === undefined ? this.field(note, LAST_COLUMN) + 1 : this.field(next, FIRST_COLUMN);
    const part = end > start ? Math.min(1, (seconds - start) / (end - start)) : 1;
    return from + (to - from) * part;
  }

  // The row a note's pitch was read from, counted from the picture's top; null when none was
  // reported.
  get pitchRow() {
    return this.picture.rows.find((row) => row.role === 'pitch')?.fromTop ?? null;
  }
}
