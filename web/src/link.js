// A link that makes the same song again: the settings that differ from the desktop
// program's, the seed and the picture's name, in the address's fragment (which browsers never
// send anywhere). The picture itself is never in it. Pure: no DOM.

import { DESKTOP_DEFAULTS, canonical } from './settings.js';

const SONG_MARK = 'song';
const PICTURE_KEY = 'picture';

const FIELDS = ['seed', ...Object.keys(DESKTOP_DEFAULTS)];
const isFlag = (field) => typeof DESKTOP_DEFAULTS[field] === 'boolean';

// The fragment for the settings (the seed among them) and the picture's name:
// "#song&seed=7&tempo=90&chords=1&picture=photo.jpg".
export function songFragment(settings, pictureName) {
  const values = canonical(settings);
  const params = new URLSearchParams();
  for (const field of FIELDS) {
    const value = values[field];
    if (field !== 'seed' && value === DESKTOP_DEFAULTS[field]) continue;
    params.set(field, isFlag(field) ? (value ? '1' : '0') : value);
  }
  if (pictureName) params.set(PICTURE_KEY, pictureName);
  return `#${SONG_MARK}&${params}`;
}

// The settings and picture name of a fragment made by songFragment: {settings, pictureName},
// every setting given (the desktop program's where the link says nothing); null when the
// fragment is no song's. Values are as the link has them: the page checks them as it does
// typed ones.
export function readSongFragment(fragment) {
  const text = fragment.startsWith('#') ? fragment.slice(1) : fragment;
  const params = new URLSearchParams(text);
  if (!params.has(SONG_MARK) || params.get(SONG_MARK) !== '' || !params.has('seed')) return null;
  const settings = { ...DESKTOP_DEFAULTS };
  for (const field of FIELDS) {
    if (!params.has(field)) continue;
    const value = params.get(field);
    settings[field] = isFlag(field) ? value === '1' : value;
  }
  return { settings, pictureName: params.get(PICTURE_KEY) ?? '' };
}
