// A song's link: the settings and seed it holds come back unchanged, whatever they are. The
// modules are the built ones, which import the facts.js the build writes.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

const dist = process.env.PIXORALE_WEB_DIST ?? path.resolve('build/web/dist');
const { readSongFragment, songFragment } = await import(pathToFileURL(path.join(dist, 'src/link.js')));
const { DEFAULTS, optionTokens, presetValues } = await import(pathToFileURL(path.join(dist, 'src/settings.js')));

test('a link gives back the settings, the seed and the picture\'s name', () => {
  const cases = [
    [{ ...presetValues('musical'), seed: '18446744073709551615' }, 'photo.jpg'],
    [{ ...presetValues('desktop'), seed: '0' }, ''],
    [{
      ...DEFAULTS, seed: '42', scale: 'blues', tempo: '0090', chords: true, 'range-low': '40',
      'range-high': '90', key: 'F#', dynamics: true, 'chord-program': '48', 'max-seconds': '12.50',
    }, "dad's photo & more #1.jpg"],
  ];
  for (const [settings, name] of cases) {
    const fragment = songFragment(settings, name);
    const back = readSongFragment(fragment);
    assert.deepEqual(optionTokens(back.settings), optionTokens(settings), fragment);
    assert.equal(back.settings.seed, settings.seed);
    assert.equal(back.pictureName, name);
    assert.equal(new URL(`https://example.org/${fragment}`).hash, fragment, 'the fragment survives an address');
  }
});

test('other fragments are no song', () => {
  for (const fragment of ['', '#', '#about', '#song', '#seed=7', '#song=1&seed=7']) {
    assert.equal(readSongFragment(fragment), null, fragment);
  }
});
