// The chosen picture, shown as the converter reads it (as stored: a JPEG's orientation tag
// turns nothing), with the rows the conversion reported reading marked on it, the playhead
// crossing the columns the melody has reached, and the columns of a chosen note. The picture
// is decoded by the browser for this view alone and never leaves the page.

import { onNextFrame, styleColours } from './canvas.js';

const MAX_DECODED_WIDTH = 2048; // device pixels: enough for any screen, little memory
const MIN_HEIGHT = 56; // CSS pixels; a very wide picture is stretched to this
const MAX_HEIGHT = 240;
const MARK_LINE = 1.5; // CSS pixels: the lines above and below a row read

export class PictureView {
  // onPick(column) when a picture column is pointed at or tapped; onStep(-1 | 1) for the
  // arrow keys.
  constructor(canvas, { onPick = () => {}, onStep = () => {}, label = (role) => role } = {}) {
    this.canvas = canvas;
    this.label = label;
    this.bitmap = null;
    this.decoding = null;
    this.song = null; // the SongMap
    this.playheadColumn = null;
    this.selected = null; // {firstColumn, lastColumn}
    this.redraw = onNextFrame(() => {
      this.layout();
      this.draw();
    });
    new ResizeObserver(() => this.redraw()).observe(canvas.parentElement);
    const pick = (event) => {
      const width = this.song?.picture.width ?? 0;
      if (width === 0) return;
      const box = canvas.getBoundingClientRect();
      onPick(Math.min(width - 1, Math.max(0, Math.floor(((event.clientX - box.left) / box.width) * width))));
    };
    canvas.addEventListener('click', pick);
    canvas.addEventListener('pointermove', (event) => {
      if (event.pointerType === 'mouse') pick(event);
    });
    canvas.addEventListener('keydown', (event) => {
      const step = { ArrowLeft: -1, ArrowRight: 1 }[event.key];
      if (!step || !this.song) return;
      event.preventDefault();
      onStep(step);
    });
  }

  // Decodes the file for showing; a picture the browser cannot decode is shown as a plain
  // field, still marked.
  async setPicture(file) {
    this.bitmap?.close();
    this.bitmap = null;
    this.song = null;
    const decoding = createImageBitmap(file, {
      imageOrientation: 'none', resizeWidth: MAX_DECODED_WIDTH, resizeQuality: 'medium',
    }).catch(() => null);
    this.decoding = decoding;
    const bitmap = await decoding;
    if (this.decoding !== decoding) {
      bitmap?.close();
      return;
    }
    this.bitmap = bitmap;
    this.redraw();
  }

  // map: the song's SongMap, whose picture says the picture's size and the rows read.
  setSong(map) {
    this.song = map;
    this.playheadColumn = null;
    this.selected = null;
    this.redraw();
  }

  clear() {
    this.song = null;
    this.playheadColumn = null;
    this.selected = null;
    this.redraw();
  }

  // Seconds into the song, or null.
  setPlayhead(seconds) {
    this.playheadSeconds = seconds;
    this.playheadColumn = seconds === null || !this.song ? null : this.song.columnAt(seconds);
    this.draw();
  }

  // The columns of a chosen note, or null.
  select(columns) {
    this.selected = columns;
    this.draw();
  }

  layout() {
    const width = this.canvas.parentElement.clientWidth;
    const picture = this.song?.picture;
    const aspect = picture?.width ? picture.height / picture.width
      : this.bitmap ? this.bitmap.height / this.bitmap.width : 0;
    const height = Math.round(Math.min(MAX_HEIGHT, Math.max(MIN_HEIGHT, width * aspect)));
    const ratio = window.devicePixelRatio || 1;
    this.ratio = ratio;
    this.canvas.style.height = `${height}px`;
    this.canvas.width = Math.max(1, Math.round(width * ratio));
    this.canvas.height = Math.max(1, Math.round(height * ratio));
  }

  draw() {
    if (!this.ratio) return;
    const context = this.canvas.getContext('2d');
    const { width, height } = this.canvas;
    const colours = styleColours(this.canvas, {
      field: '--view-field', mark: '--view-mark', markEdge: '--view-mark-edge', label: '--view-label',
      labelText: '--view-label-text', playhead: '--roll-playhead', span: '--view-span',
    });
    context.setTransform(1, 0, 0, 1, 0, 0);
    context.fillStyle = colours.field;
    context.fillRect(0, 0, width, height);
    if (this.bitmap) context.drawImage(this.bitmap, 0, 0, width, height);
    const picture = this.song?.picture;
    this.canvas.dataset.playheadColumn = '';
    this.canvas.dataset.playhead = '';
    if (!picture?.width) return;
    const x = (column) => (column / picture.width) * width;
    if (this.selected) {
      context.fillStyle = colours.span;
      const left = x(this.selected.firstColumn);
      context.fillRect(left, 0, Math.max(2 * this.ratio, x(this.selected.lastColumn + 1) - left), height);
    }
    this.drawRows(context, picture, colours);
    if (this.playheadColumn === null) return;
    // For the tests: the column and the time the playhead was last drawn at.
    this.canvas.dataset.playheadColumn = String(this.playheadColumn);
    this.canvas.dataset.playhead = String(this.playheadSeconds);
    context.fillStyle = colours.playhead;
    const line = Math.max(2, Math.round(2 * this.ratio));
    context.fillRect(Math.min(width - line, Math.round(x(this.playheadColumn))), 0, line, height);
  }

  // Each row read between two lines edged for contrast, so that its own colours stay in sight,
  // and named at the left.
  drawRows(context, picture, colours) {
    const { width, height } = this.canvas;
    const ratio = this.ratio;
    const rowHeight = height / picture.height;
    const line = Math.max(2, Math.round(MARK_LINE * ratio));
    const edge = Math.max(1, Math.round(ratio));
    context.font = `${11 * ratio}px system-ui, sans-serif`;
    context.textBaseline = 'middle';
    for (const { fromTop, role } of picture.rows) {
      const top = Math.round((fromTop / picture.height) * height);
      const bottom = Math.max(top + 1, Math.round(top + rowHeight));
      for (const y of [top - line, bottom]) {
        context.fillStyle = colours.markEdge;
        context.fillRect(0, y - edge, width, line + 2 * edge);
        context.fillStyle = colours.mark;
        context.fillRect(0, y, width, line);
      }
      const label = this.label(role);
      const labelHeight = 16 * ratio;
      const gap = line + edge + 2 * ratio;
      // Above the row where it fits, else below it.
      const labelTop = top - gap - labelHeight >= 0 ? top - gap - labelHeight : bottom + gap;
      context.fillStyle = colours.label;
      context.fillRect(4 * ratio, labelTop, context.measureText(label).width + 8 * ratio, labelHeight);
      context.fillStyle = colours.labelText;
      context.fillText(label, 8 * ratio, labelTop + labelHeight / 2);
    }
  }
}
