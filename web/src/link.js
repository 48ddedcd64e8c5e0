// A link that makes the same song again: the settings that differ from the converter's
// defaults, the seed and the picture's name, in the address's fragment (which browsers never
// send anywhere). The picture itself is never in it. Pure: no DOM.

import { DEFAULTS, canonical } from './settings.js';

const SONG_MARK = 'song';
const PICTURE_KEY = 'picture';
const SEED = 'seed';

const isFlag = (id) => typeof DEFAULTS[id] === 'boolean';

// The fragment for the controls' values (the seed among them) and the picture's name:
// "#song&seed=7&tempo=90&chords=1&picture=photo.jpg".
export function songFragment(settings, pictureName) {
  const values = canonical(settings);
  const params = new URLSearchParams();
  for (const id of Object.keys(DEFAULTS)) {
    const value = values[id];
    if (id !== SEED && value === DEFAULTS[id]) continue;
    params.set(id, isFlag(id) ? (value ? '1' : '0') : value);
  }
  if (pictureName) params.set(PICTURE_KEY, pictureName);
  return `#${SONG_MARK}&${params}`;
}

// The controls' values and the picture's name of a fragment made by songFragment:
// {settings, pictureName}, every control given (its default where the link says nothing);
// null when the fragment is no song's. Values are as the link has them: the converter refuses
// those it does not take, as it does typed ones.
export function readSongFragment(fragment) {
  const params = new URLSearchParams(fragment.startsWith('#') ? fragment.slice(1) : fragment);
  if (params.get(SONG_MARK) !== '' || !params.has(SEED)) return null;
  const settings = { ...DEFAULTS };
  for (const id of Object.keys(DEFAULTS)) {
    if (!params.has(id)) continue;
    settings[id] = isFlag(id) ? params.get(id) === '1' : params.get(id);
  }
  return { settings, pictureName: params.get(PICTURE_KEY) ?? '' };
}
