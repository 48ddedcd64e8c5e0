// The page's settings -> pixorale-convert options: what the shown command line runs. The
// page's modules are the built ones (PIXORALE_WEB_DIST), as they import the facts.js that the
// build writes from the converter's table.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

const dist = process.env.PIXORALE_WEB_DIST ?? path.resolve('build/web/dist');
const {
  DEFAULTS, commandLine, matchingPreset, optionTokens, presetValues, shellQuote,
} = await import(pathToFileURL(path.join(dist, 'src/settings.js')));

const musical = { ...presetValues('musical'), seed: '7' };
const desktop = { ...presetValues('desktop'), seed: '7' };

test('a preset is given by its name, and only what differs from it beside it', () => {
  const cases = [
    [desktop, []],
    [musical, ['--preset', 'musical']],
    // Numbers as the converter reads them: typed otherwise, still the default.
    [{ ...desktop, tempo: '0120', 'chord-program': '48' }, []],
    [{ ...musical, key: 'D', scale: 'minor-pentatonic' },
      ['--preset', 'musical', '--scale', 'minor-pentatonic', '--key', 'D']],
    // An option given beside the preset makes the preset's rival give way.
    [{ ...musical, columns: '100', 'max-seconds': '' }, ['--preset', 'musical', '--columns', '100']],
    [{ ...musical, 'range-low': '40', 'range-high': '90', 'map-low': '', 'map-high': '' },
      ['--preset', 'musical', '--range', '40:90']],
    // What a preset sets cannot be taken away beside it: then no preset is given.
    [{ ...musical, 'map-low': '', 'map-high': '' },
      ['--chords', '--contour', 'skyline', '--metre', '--melodic', '--harmony', '--program', '73',
        '--chord-program', '89', '--chord-velocity', '64']],
    [{ ...desktop, 'map-low': '48', 'map-high': '84' }, ['--map', '48:84']],
  ];
  for (const [values, expected] of cases) {
    assert.deepEqual(optionTokens(values), ['--no-settings', ...expected, '--seed', '7'],
      JSON.stringify(values));
  }
});

test('every option in the table\'s order, numbers as the converter reads them', () => {
  const values = {
    ...desktop, scale: 'blues', sustain: '08', tempo: '90', timing: 'ms', resolution: '480',
    chords: true, 'range-low': '40', 'range-high': '90', key: 'F#', columns: '100', dynamics: true,
    program: '11', velocity: '90', 'chord-program': '48', 'chord-velocity': '70',
  };
  assert.deepEqual(optionTokens(values), [
    '--no-settings', '--scale', 'blues', '--key', 'F#', '--sustain', '8', '--tempo', '90',
    '--timing', 'ms', '--resolution', '480', '--chords', '--range', '40:90', '--columns', '100',
    '--dynamics', '--program', '11', '--velocity', '90', '--chord-program', '48',
    '--chord-velocity', '70', '--seed', '7',
  ]);
});

test('the preset shown follows the controls', () => {
  assert.equal(matchingPreset(musical), 'musical');
  assert.equal(matchingPreset({ ...desktop, tempo: '0120' }), 'desktop');
  assert.equal(matchingPreset({ ...musical, key: 'D' }), 'custom');
  // The chords' voice means nothing without chords.
  assert.equal(matchingPreset({ ...desktop, 'chord-program': '48' }), 'desktop');
  assert.equal(matchingPreset({ ...desktop, chords: true, 'chord-program': '48' }), 'custom');
  assert.equal(DEFAULTS.chords, false);
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
