// The piano roll: time across, pitch up, zoomed to the pitches the song uses, rows shaded as
// a keyboard's keys and named. The canvas is as wide as the view and stays in it while the
// track under it scrolls through the song; only the notes in view are drawn, so a song of a
// million notes scrolls smoothly.

import { onNextFrame, styleColours } from './canvas.js';
import { formatDuration, noteName } from './format.js';
import { END, NOTE_FIELDS, PITCH, START, TRACK } from './song-events.js';

const MIN_PIXELS_PER_SECOND = 24;
const MAX_TRACK_WIDTH = 4_000_000; // CSS pixels; browsers cap element sizes not far above
const AXIS_HEIGHT = 18;
const MIN_ROWS = 15;
const MARGIN_ROWS = 2;
const ROW_LABEL_HEIGHT = 11; // CSS pixels a row needs for its name
const BLACK_KEYS = new Set([1, 3, 6, 8, 10]);
const TICK_STEPS = [1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1200, 1800, 3600, 7200, 18000, 36000];

// The pitches shown: those the song uses and a margin on each side, at least MIN_ROWS.
export function pitchView({ lowestPitch, highestPitch }, count) {
  let low = count > 0 ? lowestPitch - MARGIN_ROWS : 54;
  let high = count > 0 ? highestPitch + MARGIN_ROWS : 66;
  const missing = MIN_ROWS - (high - low + 1);
  if (missing > 0) {
    low -= Math.ceil(missing / 2);
    high += Math.floor(missing / 2);
  }
  const shift = Math.max(0, -low) - Math.max(0, high - 127);
  return { low: Math.max(0, low + shift), high: Math.min(127, high + shift) };
}

export class PianoRoll {
  // onPick(note) when a note is pointed at or tapped (-1: none there).
  constructor(scroller, track, canvas, { onPick = () => {} } = {}) {
    this.scroller = scroller;
    this.track = track;
    this.canvas = canvas;
    this.layer = document.createElement('canvas');
    this.song = null;
    this.playhead = null;
    this.selected = -1;
    this.redraw = onNextFrame(() => {
      this.layout();
      this.drawLayer();
      this.compose();
    });
    scroller.addEventListener('scroll', () => this.redraw(), { passive: true });
    new ResizeObserver(() => this.redraw()).observe(scroller);
    const pick = (event) => {
      if (this.song) onPick(this.noteAtPoint(event));
    };
    canvas.addEventListener('click', pick);
    canvas.addEventListener('pointermove', (event) => {
      if (event.pointerType === 'mouse' && this.song) onPick(this.noteAtPoint(event));
    });
  }

  // map: the song's SongMap; summary: its lowest and highest pitch and length.
  setSong(map, summary) {
    const { low, high } = pitchView(summary, map.count);
    this.song = { map, seconds: summary.seconds, low, high };
    this.playhead = null;
    this.selected = -1;
    this.scroller.scrollLeft = 0;
    this.redraw();
  }

  clear() {
    this.song = null;
    this.playhead = null;
    this.selected = -1;
    this.redraw();
  }

  // The note under a pointer event on the canvas, or -1.
  noteAtPoint(event) {
    const box = this.canvas.getBoundingClientRect();
    const { low, high } = this.song;
    const rowHeight = (box.height - AXIS_HEIGHT) / (high - low + 1);
    const pitch = high - Math.floor((event.clientY - box.top - AXIS_HEIGHT) / rowHeight);
    const seconds = (event.clientX - box.left + this.scroller.scrollLeft) / this.pixelsPerSecond;
    return pitch < low || pitch > high ? -1 : this.song.map.noteAt(seconds, pitch);
  }

  // Outlines a note (-1: none), bringing it into view.
  select(note) {
    this.selected = note;
    if (note >= 0 && this.song) {
      const { start, end } = this.song.map.note(note);
      const { scrollLeft, clientWidth } = this.scroller;
      if (end * this.pixelsPerSecond < scrollLeft || start * this.pixelsPerSecond > scrollLeft + clientWidth) {
        this.scroller.scrollLeft = Math.max(0, start * this.pixelsPerSecond - clientWidth * 0.1);
      }
    }
    this.compose();
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

  // Where things are on the canvas, in device pixels.
  geometry() {
    const { low, high } = this.song;
    const top = AXIS_HEIGHT * this.ratio;
    const rowHeight = (this.layer.height - top) / (high - low + 1);
    const from = this.scroller.scrollLeft / this.pixelsPerSecond;
    return {
      top, rowHeight, from,
      to: from + this.layer.width / this.ratio / this.pixelsPerSecond,
      x: (seconds) => (seconds - from) * this.pixelsPerSecond * this.ratio,
      y: (pitch) => top + (high - pitch) * rowHeight,
    };
  }

  drawLayer() {
    const context = this.layer.getContext('2d');
    const { width, height } = this.layer;
    const colours = styleColours(this.canvas, {
      background: '--roll-background', blackKeys: '--roll-black-keys', grid: '--roll-grid',
      label: '--roll-label', melody: '--roll-melody', chords: '--roll-chords',
      playhead: '--roll-playhead', selected: '--roll-selected',
    });
    colours.tracks = [colours.melody, colours.chords];
    this.palette = colours;
    context.setTransform(1, 0, 0, 1, 0, 0);
    context.fillStyle = colours.background;
    context.fillRect(0, 0, width, height);
    if (!this.song) return;
    const geometry = this.geometry();
    this.drawKeys(context, geometry, colours);
    this.drawNotes(context, geometry, colours);
    this.drawLabels(context, geometry, colours);
  }

  // Black keys' rows shaded, a line under every C.
  drawKeys(context, { y, rowHeight }, colours) {
    const { width } = this.layer;
    const { low, high } = this.song;
    for (let pitch = low; pitch <= high; pitch++) {
      if (BLACK_KEYS.has(pitch % 12)) {
        context.fillStyle = colours.blackKeys;
        context.fillRect(0, Math.round(y(pitch)), width, Math.round(rowHeight));
      }
      if (pitch % 12 === 0) {
        context.fillStyle = colours.grid;
        context.fillRect(0, Math.round(y(pitch) + rowHeight), width, Math.max(1, this.ratio));
      }
    }
  }

  // Every row named where rows are tall enough, else every C (each octave) and the lowest
  // and highest rows; then the time marks at least 70 CSS pixels apart.
  drawLabels(context, { from, to, x, y, rowHeight }, colours) {
    const ratio = this.ratio;
    const { low, high } = this.song;
    const everyRow = rowHeight >= ROW_LABEL_HEIGHT * ratio;
    context.font = `${Math.min(11 * ratio, rowHeight * 0.9)}px system-ui, sans-serif`;
    context.textBaseline = 'middle';
    for (let pitch = low; pitch <= high; pitch++) {
      if (!everyRow && pitch % 12 !== 0 && pitch !== low && pitch !== high) continue;
      // Labels on a patch of the background, readable over the notes.
      const label = noteName(pitch);
      const middle = y(pitch) + rowHeight / 2;
      const size = Math.max(rowHeight, 11 * ratio);
      context.fillStyle = colours.background;
      context.fillRect(2 * ratio, middle - size / 2, context.measureText(label).width + 4 * ratio, size);
      context.fillStyle = colours.label;
      context.fillText(label, 4 * ratio, middle);
    }
    context.font = `${11 * ratio}px system-ui, sans-serif`;
    const step = TICK_STEPS.find((s) => s * this.pixelsPerSecond >= 70) ?? TICK_STEPS.at(-1);
    context.textBaseline = 'top';
    context.fillStyle = colours.background;
    context.fillRect(0, 0, this.layer.width, AXIS_HEIGHT * ratio);
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
  drawNotes(context, { from, to, x, y, rowHeight }, colours) {
    const { map } = this.song;
    const { notes } = map;
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
      for (const note of map.between(from, to)) {
        const base = note * NOTE_FIELDS;
        if (notes[base + TRACK] !== track) continue;
        const pitch = notes[base + PITCH];
        const left = Math.floor(x(notes[base + START]));
        const right = Math.max(left + 1, Math.round(x(notes[base + END])));
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
    if (!this.song || !this.pixelsPerSecond) return;
    const { x, y, rowHeight } = this.geometry();
    if (this.selected >= 0) {
      const { start, end, pitch } = this.song.map.note(this.selected);
      const line = Math.max(2, Math.round(2 * this.ratio));
      context.strokeStyle = this.palette.selected;
      context.lineWidth = line;
      context.strokeRect(x(start) - line, y(pitch) - line, Math.max(1, x(end) - x(start)) + 2 * line,
        rowHeight + 2 * line);
    }
    // For the tests: where the playhead was last drawn, in seconds.
    this.canvas.dataset.playhead = this.playhead === null ? '' : String(this.playhead);
    if (this.playhead === null) return;
    context.fillStyle = this.palette.playhead;
    context.fillRect(Math.round(x(this.playhead)), 0, Math.max(2, Math.round(2 * this.ratio)),
      this.canvas.height);
  }
}
