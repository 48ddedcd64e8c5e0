// The settings controls of the page: their values as settings.js reads them, and the few
// rules that tie controls together.

import { GM_PROGRAMS } from './gm-programs.js';
import { KEYS, PAIRS, SCALES } from './settings.js';
import { scaleName } from './texts.js';

// Setting -> id of its control (the browser tests use these ids).
export const CONTROL_IDS = Object.freeze({
  seed: 'seed', scale: 'scale', sustain: 'sustain', tempo: 'tempo', timing: 'timing',
  resolution: 'resolution', chords: 'chords', rangeLow: 'range-low', rangeHigh: 'range-high',
  key: 'key', columns: 'columns', maxSeconds: 'max-seconds', mapLow: 'map-low',
  mapHigh: 'map-high', dynamics: 'dynamics', program: 'program', velocity: 'velocity',
  chordProgram: 'chord-program', chordVelocity: 'chord-velocity',
});

// Giving one of these clears the other, as the converter takes only one of each couple.
const RIVALS = { range: 'map', map: 'range', columns: 'maxSeconds', maxSeconds: 'columns' };

const control = (field) => document.getElementById(CONTROL_IDS[field]);

function fillSelect(select, values, label) {
  select.replaceChildren(
    ...values.map((value, index) => new Option(label(value, index), String(value))),
  );
}

export function populateChoices() {
  fillSelect(control('key'), KEYS, (key) => key);
  for (const field of ['program', 'chordProgram']) {
    fillSelect(control(field), GM_PROGRAMS.map((_, i) => i), (i) => `${i} ${GM_PROGRAMS[i]}`);
  }
  fillSelect(control('scale'), SCALES, (scale) => scale);
}

// The scale list names its scales on the chosen key, in the page's language.
export function labelScales(language) {
  const key = control('key').value;
  [...control('scale').options].forEach((option, index) => {
    option.textContent = scaleName(language, index, key);
  });
}

export function readControls() {
  const values = {};
  for (const field of Object.keys(CONTROL_IDS)) {
    const element = control(field);
    values[field] = element.type === 'checkbox' ? element.checked : element.value.trim();
  }
  return values;
}

// Sets the controls of the settings given (others keep their values).
export function writeControls(values) {
  for (const [field, value] of Object.entries(values)) {
    const element = control(field);
    if (!element) continue;
    if (element.type === 'checkbox') element.checked = Boolean(value);
    else element.value = value;
  }
  enableChordControls();
}

// The chord instrument and velocity mean something only with a chord track.
export function enableChordControls() {
  const chords = control('chords').checked;
  control('chordProgram').disabled = !chords;
  control('chordVelocity').disabled = !chords;
}

function groupOf(field) {
  return Object.keys(PAIRS).find((pair) => PAIRS[pair].includes(field)) ?? field;
}

// After the user changed `field`: once it gives its range, map, columns or maximum length
// completely, the rival one is cleared, so the latest choice wins.
export function settleRivals(field) {
  const group = groupOf(field);
  const rival = RIVALS[group];
  if (!rival) return;
  const fields = PAIRS[group] ?? [group];
  if (fields.some((f) => control(f).value.trim() === '')) return;
  for (const f of PAIRS[rival] ?? [rival]) control(f).value = '';
}

export function fieldOfControl(element) {
  return Object.keys(CONTROL_IDS).find((field) => CONTROL_IDS[field] === element.id) ?? null;
}

export function controlOf(field) {
  return control(field);
}
