// The page's settings -> pixorale-convert options: what the shown command line runs.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { test } from 'node:test';

import {
  DESKTOP_DEFAULTS, PRESETS, check, commandLine, matchingPreset, optionTokens, shellQuote,
} from '../../../web/src/settings.js';

const withSeed = (values) => ({ ...values, seed: '7' });

test('the presets give exactly their options, defaults (however typed) left out', () => {
  assert.deepEqual(optionTokens(withSeed(PRESETS.desktop)), ['--no-settings', '--seed', '7']);
  assert.deepEqual(optionTokens(withSeed(PRESETS.musical)),
    ['--no-settings', '--seed', '7', '--max-seconds', '60', '--map', '48:84']);
  // Chord options need chords.
  const typedAsDefault = withSeed({ ...DESKTOP_DEFAULTS, tempo: '0120', chordProgram: '48' });
  assert.deepEqual(optionTokens(typedAsDefault), ['--no-settings', '--seed', '7']);
});

test('every option in its fixed order, numbers as the converter reads them', () => {
  const values = withSeed({
    ...DESKTOP_DEFAULTS, scale: 'blues', sustain: '08', tempo: '90', timing: 'ms', resolution: '480',
    chords: true, rangeLow: '40', rangeHigh: '90', key: 'F#', columns: '100', dynamics: true,
    program: '11', velocity: '90', chordProgram: '48', chordVelocity: '70',
  });
  assert.deepEqual(optionTokens(values), [
    '--no-settings', '--seed', '7', '--scale', 'blues', '--sustain', '8', '--tempo', '90',
    '--timing', 'ms', '--resolution', '480', '--chords', '--range', '40:90', '--key', 'F#',
    '--columns', '100', '--dynamics', '--program', '11', '--velocity', '90',
    '--chord-program', '48', '--chord-velocity', '70',
  ]);
});

test('the converter\'s limits are checked before anything runs', () => {
  const cases = [
    [{ tempo: '0' }, { field: 'tempo', kind: 'integer' }],
    [{ velocity: '1e2' }, { field: 'velocity', kind: 'integer' }],
    [{ rangeLow: '256', rangeHigh: '300' }, { field: 'rangeLow', kind: 'integer' }],
    [{ rangeLow: '40' }, { field: 'rangeHigh', kind: 'pair' }],
    [{ mapLow: '84', mapHigh: '48' }, { field: 'mapLow', kind: 'order' }],
    [{ mapLow: '0', mapHigh: '128' }, { field: 'mapHigh', kind: 'integer' }],
    [{ maxSeconds: '1e3' }, { field: 'maxSeconds', kind: 'seconds' }],
    [{ columns: '5', maxSeconds: '60' }, { field: 'maxSeconds', kind: 'exclusive' }],
    [{ rangeLow: '1', rangeHigh: '2', mapLow: '3', mapHigh: '4' }, { field: 'mapLow', kind: 'exclusive' }],
    [{ seed: '18446744073709551616' }, { field: 'seed', kind: 'integer' }],
  ];
  for (const [change, expected] of cases) {
    const problem = check({ ...withSeed(DESKTOP_DEFAULTS), ...change });
    assert.deepEqual({ field: problem?.field, kind: problem?.kind }, expected, JSON.stringify(change));
  }
  assert.equal(check({ ...withSeed(DESKTOP_DEFAULTS), seed: '18446744073709551615', maxSeconds: '.5' }), null);
  // A range whose HIGH is not above LOW is the converter's own "no range", with its warning.
  assert.equal(check({ ...withSeed(DESKTOP_DEFAULTS), rangeLow: '90', rangeHigh: '40' }), null);
});

test('the preset shown follows the controls', () => {
  assert.equal(matchingPreset(PRESETS.musical), 'musical');
  assert.equal(matchingPreset({ ...PRESETS.desktop, tempo: '0120' }), 'desktop');
  assert.equal(matchingPreset({ ...PRESETS.musical, key: 'D' }), 'custom');
  assert.equal(matchingPreset({ ...PRESETS.desktop, chordProgram: '48' }), 'desktop');
  assert.equal(matchingPreset({ ...PRESETS.desktop, chords: true, chordProgram: '48' }), 'custom');
});

test('names are quoted so that a shell reads them back unchanged', () => {
  const cases = [
    ['photo.jpg', 'photo.jpg'],
    ['my photo.jpg', "'my photo.jpg'"],
    ["it's.png", "'it'\\''s.png'"],
    ['$HOME`x`.bmp', "'$HOME`x`.bmp'"],
    ['写真.jpg', "'写真.jpg'"],
    ['', "''"],
  ];
  for (const [word, quoted] of cases) {
    assert.equal(shellQuote(word), quoted);
    assert.equal(execFileSync('sh', ['-c', `printf %s ${quoted}`], { encoding: 'utf8' }), word);
  }
  assert.equal(commandLine('-x.bmp', ['--no-settings', '--seed', '7', '--key', 'C#']),
    "pixorale-convert ./-x.bmp --no-settings --seed 7 --key 'C#'");
});
