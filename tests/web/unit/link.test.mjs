// A song's link: the settings and seed it holds come back unchanged, whatever they are.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { readSongFragment, songFragment } from '../../../web/src/link.js';
import { DESKTOP_DEFAULTS, PRESETS, optionTokens } from '../../../web/src/settings.js';

test('a link gives back the settings, the seed and the picture\'s name', () => {
  const cases = [
    [{ ...PRESETS.musical, seed: '18446744073709551615' }, 'photo.jpg'],
    [{ ...PRESETS.desktop, seed: '0' }, ''],
    [{
      ...DESKTOP_DEFAULTS, seed: '42', scale: 'blues', tempo: '0090', chords: true, rangeLow: '40',
      rangeHigh: '90', key: 'F#', dynamics: true, chordProgram: '48', maxSeconds: '12.50',
    }, "dad's photo & more #1.jpg"],
  ];
  for (const [settings, name] of cases) {
    const fragment = songFragment(settings, name);
    const back = readSongFragment(fragment);
    assert.deepEqual(optionTokens(back.settings), optionTokens(settings), fragment);
    assert.equal(back.pictureName, name);
    assert.equal(new URL(`https://example.org/${fragment}`).hash, fragment, 'the fragment survives an address');
  }
});

test('other fragments are no song', () => {
  for (const fragment of ['', '#', '#about', '#song', '#seed=7', '#song=1&seed=7']) {
    assert.equal(readSongFragment(fragment), null, fragment);
  }
});
