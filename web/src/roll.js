// The piano roll: time across, pitch up, zoomed to the pitches the song uses. The canvas is
// as wide as the view and stays in it while the track under it scrolls through the song;
// only the notes in view are drawn, so a song of a million notes scrolls smoothly.

import { formatDuration, noteName } from './format.js';
import { NOTE_FIELDS } from './song-events.js';

const MIN_PIXELS_PER_SECOND = 24;
const MAX_TRACK_WIDTH = 4_000_000; // CSS pixels; browsers cap element sizes not far above
const AXIS_HEIGHT = 18;
const MIN_ROWS = 15;
const TICK_STEPS = [1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1200, 1800, 3600, 7200, 18000, 36000];

// The pitches shown: those the song uses and one more on each side, at least MIN_ROWS.
function pitchView({ lowestPitch, highestPitch }, count) {
  let low = count > 0 ? lowestPitch - 1 : 54;
  let high = count > 0 ? highestPitch + 1 : 66;
  const missing = MIN_ROWS - (high - low + 1);
  if (missing > 0) {
    low -= Math.ceil(missing / 2);
    high += Math.floor(missing / 2);
  }
  const shift = Math.max(0, -low) - Math.max(0, high - 127);
  return { low: Math.max(0, low + shift), high: Math.min(127, high + shift) };
}

export class PianoRoll {
  constructor(scroller, track, canvas) {
    this.scroller = scroller;
    this.track = track;
    this.canvas = canvas;
    this.layer = document.createElement('canvas');
    this.song = null;
    this.playhead = null;
    this.pending = false;
    scroller.addEventListener('scroll', () => this.redraw(), { passive: true });
    new ResizeObserver(() => this.redraw()).observe(scroller);
  }

  // notes: the worker's Float32Array; summary: its lowest and highest pitch and length.
  setSong(notes, summary) {
    const count = Math.floor(notes.length / NOTE_FIELDS);
    const starts = new Float64Array(count);
    const order = new Uint32Array(count);
    let sorted = true;
    for (let i = 0; i < count; i++) {
      starts[i] = notes[i * NOTE_FIELDS];
      order[i] = i;
      if (i > 0 && starts[i] < starts[i - 1]) sorted = false;
    }
    if (!sorted) order.sort((a, b) => starts[a] - starts[b] || a - b);
    // Latest end among the notes up to each place in start order: the first note that can
    // still sound at a time is found by halving.
    const reach = new Float64Array(count);
    let latest = -Infinity;
    for (let i = 0; i < count; i++) {
      latest = Math.max(latest, notes[order[i] * NOTE_FIELDS + 1]);
      reach[i] = latest;
    }
    const { low, high } = pitchView(summary, count);
    this.song = { notes, order, reach, count, seconds: summary.seconds, low, high };
    this.playhead = null;
    this.scroller.scrollLeft = 0;
    this.redraw();
  }

  clear() {
    this.song = null;
    this.playhead = null;
    this.redraw();
  }

  // Seconds into the song, or null; the view turns a page when the playhead leaves it.
  setPlayhead(seconds) {
    this.playhead = seconds;
    if (seconds !== null && this.song) {
      const x = seconds * this.pixelsPerSecond;
      const { scrollLeft, clientWidth } = this.scroller;
      if (x < scrollLeft || x > scrollLeft + clientWidth * 0.9) {
        this.scroller.scrollLeft = Math.max(0, x - clientWidth * 0.1);
      }
    }
    this.compose();
  }

  redraw() {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => {
      this.pending = false;
      this.layout();
      this.drawLayer();
      this.compose();
    });
  }

  layout() {
    const width = this.scroller.clientWidth;
    const height = this.track.clientHeight;
    const seconds = this.song?.seconds ?? 0;
    let pixelsPerSecond = seconds > 0 ? Math.max(width / seconds, MIN_PIXELS_PER_SECOND) : 1;
    if (seconds * pixelsPerSecond > MAX_TRACK_WIDTH) pixelsPerSecond = MAX_TRACK_WIDTH / seconds;
    this.pixelsPerSecond = pixelsPerSecond;
    this.track.style.width = `${Math.max(width, Math.ceil(seconds * pixelsPerSecond))}px`;
    const ratio = window.devicePixelRatio || 1;
    this.ratio = ratio;
    this.canvas.style.width = `${width}px`;
    this.canvas.style.height = `${height}px`;
    for (const canvas of [this.canvas, this.layer]) {
      canvas.width = Math.max(1, Math.round(width * ratio));
      canvas.height = Math.max(1, Math.round(height * ratio));
    }
  }

  colours() {
    const style = getComputedStyle(this.canvas);
    const get = (name) => style.getPropertyValue(name).trim();
    return {
      background: get('--roll-background'), grid: get('--roll-grid'), label: get('--roll-label'),
      tracks: [get('--roll-melody'), get('--roll-chords')], playhead: get('--roll-playhead'),
    };
  }

  drawLayer() {
    const context = this.layer.getContext('2d');
    const { width, height } = this.layer;
    const ratio = this.ratio;
    const colours = this.colours();
    this.palette = colours;
    context.setTransform(1, 0, 0, 1, 0, 0);
    context.fillStyle = colours.background;
    context.fillRect(0, 0, width, height);
    if (!this.song) return;
    const { low, high } = this.song;
    const top = AXIS_HEIGHT * ratio;
    const rowHeight = (height - top) / (high - low + 1);
    const from = this.scroller.scrollLeft / this.pixelsPerSecond;
    const to = from + width / ratio / this.pixelsPerSecond;
    const x = (seconds) => (seconds - from) * this.pixelsPerSecond * ratio;

    this.drawNotes(context, from, to, x, (pitch) => top + (high - pitch) * rowHeight, rowHeight, colours);
    this.drawGrid(context, { from, to, x, top, rowHeight, colours });
  }

  drawGrid(context, { from, to, x, top, rowHeight, colours }) {
    const { width } = this.layer;
    const ratio = this.ratio;
    const { low, high } = this.song;
    context.font = `${11 * ratio}px system-ui, sans-serif`;
    context.textBaseline = 'middle';
    // An octave line at every C, labelled.
    for (let pitch = low; pitch <= high; pitch++) {
      if (pitch % 12 !== 0) continue;
      const y = Math.round(top + (high - pitch + 1) * rowHeight) + 0.5;
      context.fillStyle = colours.grid;
      context.fillRect(0, y, width, Math.max(1, ratio));
      // Labels on a patch of the background, readable over the notes.
      const label = noteName(pitch);
      context.fillStyle = colours.background;
      context.fillRect(2 * ratio, y - 12 * ratio, context.measureText(label).width + 4 * ratio, 12 * ratio);
      context.fillStyle = colours.label;
      context.fillText(label, 4 * ratio, y - 6 * ratio);
    }
    // Time marks at least 70 CSS pixels apart.
    const step = TICK_STEPS.find((s) => s * this.pixelsPerSecond >= 70) ?? TICK_STEPS.at(-1);
    context.textBaseline = 'top';
    for (let t = Math.ceil(from / step) * step; t <= to; t += step) {
      const position = Math.round(x(t));
      context.fillStyle = colours.grid;
      context.fillRect(position, 0, Math.max(1, ratio), AXIS_HEIGHT * ratio);
      context.fillStyle = colours.label;
      context.fillText(formatDuration(t), position + 3 * ratio, 3 * ratio);
    }
  }

  // Chords first, melody over them. Notes of one pitch that overlap on screen are drawn as
  // one bar, so a dense song costs a few thousand rectangles, not a million.
  drawNotes(context, from, to, x, y, rowHeight, colours) {
    const { notes, order, reach, count } = this.song;
    let first = 0;
    for (let step = count; step > 0;) {
      const half = step >> 1;
      if (reach[first + half] < from) {
        first += half + 1;
        step -= half + 1;
      } else {
        step = half;
      }
    }
    // Bars on whole device pixels: a bar two pixels high drawn between pixels looks faded.
    const gap = rowHeight >= 4 ? 1 : 0;
    const rowTop = new Float64Array(128);
    const rowSize = new Float64Array(128);
    for (let pitch = 0; pitch < 128; pitch++) {
      rowTop[pitch] = Math.round(y(pitch));
      rowSize[pitch] = Math.max(1, Math.round(y(pitch) + rowHeight) - rowTop[pitch] - gap);
    }
    const runStart = new Float64Array(128);
    const runEnd = new Float64Array(128);
    for (const track of [1, 0]) {
      context.fillStyle = colours.tracks[track];
      runEnd.fill(-1);
      const flush = (pitch) => {
        const length = runEnd[pitch] - runStart[pitch];
        context.fillRect(runStart[pitch], rowTop[pitch], length > 3 ? length - 1 : length, rowSize[pitch]);
      };
      for (let i = first; i < count; i++) {
        const base = order[i] * NOTE_FIELDS;
        const start = notes[base];
        if (start > to) break;
        if (notes[base + 4] !== track || notes[base + 1] < from) continue;
        const pitch = notes[base + 2];
        const left = Math.floor(x(start));
        const right = Math.max(left + 1, Math.round(x(notes[base + 1])));
        if (left < runEnd[pitch]) {
          runEnd[pitch] = Math.max(runEnd[pitch], right);
          continue;
        }
        if (runEnd[pitch] >= 0) flush(pitch);
        runStart[pitch] = left;
        runEnd[pitch] = right;
      }
      for (let pitch = 0; pitch < 128; pitch++) if (runEnd[pitch] >= 0) flush(pitch);
    }
  }

  compose() {
    const context = this.canvas.getContext('2d');
    context.setTransform(1, 0, 0, 1, 0, 0);
    context.drawImage(this.layer, 0, 0);
    if (this.playhead === null || !this.song) return;
    const position = Math.round((this.playhead * this.pixelsPerSecond - this.scroller.scrollLeft) * this.ratio);
    context.fillStyle = this.palette.playhead;
    context.fillRect(position, 0, Math.max(2, Math.round(2 * this.ratio)), this.canvas.height);
  }
}
