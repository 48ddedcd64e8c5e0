// The song shown: its summary and warnings, the picture with what was read of it, the piano
// roll, the note chosen in either, the playhead over both, and the link that makes it again.

import { formatDuration, formatTime, noteName } from './format.js';
import { PianoRoll } from './roll.js';
import { SongMap } from './song-map.js';
import { messageText } from './texts.js';
import { PictureView } from './view.js';

const $ = (id) => document.getElementById(id);
const ROLE_TEXTS = { pitch: 'readPitch', time: 'readTime' };

export class SongDisplay {
  // language(): the page's language now; text(key, params): a text in it.
  constructor({ language, text }) {
    this.language = language;
    this.text = text;
    this.song = null; // {reply, map, seed, link}
    this.selected = -1;
    this.roll = new PianoRoll($('roll-scroller'), $('roll-track'), $('roll'), {
      onPick: (note) => { if (note >= 0) this.select(note); },
    });
    this.view = new PictureView($('view'), {
      onPick: (column) => this.select(this.song?.map.noteAtColumn(column) ?? -1),
      onStep: (step) => this.step(step),
      label: (role) => text(ROLE_TEXTS[role] ?? role),
    });
  }

  // Decodes the picture for the view while it converts.
  setPicture(file) {
    this.view.setPicture(file);
  }

  // reply: the worker's answer; seed: the seed it was made with; fragment: its link's.
  show(reply, seed, fragment) {
    const map = new SongMap(reply.notes, reply.picture);
    this.song = { reply, map, seed, fragment };
    this.selected = -1;
    this.roll.setSong(map, reply.summary);
    this.view.setSong(map);
    document.querySelector('.view-frame').hidden = false;
    this.render();
  }

  clear() {
    this.song = null;
    this.selected = -1;
    this.roll.clear();
    this.view.clear();
    this.render();
  }

  // A song of earlier settings is dimmed and says so.
  setStale(stale) {
    document.querySelector('.result').dataset.stale = String(stale);
    $('stale').hidden = !stale;
  }

  // Seconds into the song, or null: both playheads move together.
  setPlayhead(seconds) {
    this.roll.setPlayhead(seconds);
    this.view.setPlayhead(seconds);
  }

  select(note) {
    if (!this.song) return;
    this.selected = note;
    this.roll.select(note);
    this.view.select(note >= 0 ? this.song.map.note(note) : null);
    this.renderNoteInfo();
  }

  // The arrow keys on the picture go from melody note to melody note.
  step(step) {
    const melody = this.song?.map.melody;
    if (!melody?.length) return;
    const at = melody.indexOf(this.selected);
    const next = at < 0 ? (step > 0 ? 0 : melody.length - 1) : at + step;
    this.select(melody[Math.min(melody.length - 1, Math.max(0, next))]);
  }

  // Everything in the page's language now.
  render() {
    this.renderSummary();
    this.renderWarnings();
    this.renderNoteInfo();
    this.renderLink();
    this.view.redraw();
  }

  renderSummary() {
    const summary = $('summary');
    const song = this.song;
    $('roll-empty').hidden = song !== null;
    if (!song) {
      summary.textContent = '';
      $('hint').textContent = '';
      delete summary.dataset.seed;
      delete summary.dataset.notes;
      return;
    }
    const { notes, seconds, lowestPitch, highestPitch } = song.reply.summary;
    // One pitch all through is what a picture of one red along its pitch row gives.
    $('hint').textContent = notes > 1 && lowestPitch === highestPitch ? this.text('flatHint') : '';
    const locale = this.language() === 'ja' ? 'ja-JP' : 'en-GB';
    summary.textContent = this.text('summary', {
      notes: notes.toLocaleString(locale),
      length: formatDuration(seconds),
      low: notes > 0 ? noteName(lowestPitch) : '–',
      high: notes > 0 ? noteName(highestPitch) : '–',
      seed: song.seed,
    });
    summary.dataset.seed = song.seed;
    summary.dataset.notes = String(notes);
  }

  renderWarnings() {
    const warnings = this.song?.reply.warnings ?? [];
    $('warnings').replaceChildren(...warnings.map((warning) => {
      const item = document.createElement('li');
      item.textContent = messageText(this.language(), 'warning', warning);
      item.dataset.kind = warning.kind;
      return item;
    }));
  }

  // The chosen note's name, time and the picture's pixel or columns it came from.
  renderNoteInfo() {
    const info = $('note-info');
    if (!this.song || this.selected < 0) {
      info.textContent = this.song ? this.text('noteHelp') : '';
      return;
    }
    const { map } = this.song;
    const { start, pitch, track, firstColumn, lastColumn } = map.note(this.selected);
    const params = {
      note: noteName(pitch), track: this.text(track === 0 ? 'melody' : 'chordsTrack'),
      time: formatTime(start), x: firstColumn, first: firstColumn, last: lastColumn,
      y: map.pitchRow ?? '–',
    };
    info.textContent = this.text(firstColumn === lastColumn ? 'noteInfo' : 'noteInfoColumns', params);
  }

  // The address of the page with the song's settings and seed in its fragment.
  renderLink() {
    const fragment = this.song?.fragment;
    document.querySelector('.share').hidden = !fragment;
    const anchor = $('link');
    if (fragment) anchor.href = new URL(fragment, location.href).href;
    else anchor.removeAttribute('href');
  }
}
