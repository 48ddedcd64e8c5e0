// From a time, a pitch or a picture column back to the note: what tapping the picture or the
// roll shows, and where the playhead stands on the picture.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

// The built module, whose note record comes from the facts.js the build writes.
const dist = process.env.PIXORALE_WEB_DIST ?? path.resolve('build/web/dist');
const { SongMap } = await import(pathToFileURL(path.join(dist, 'src/song-map.js')));

// start, end, pitch, velocity, track, first column, last column. Columns 0-1, 2-4 and 5 make
// the melody; a chord note starts with the second melody note; notes of one pitch overlap.
const song = new SongMap(new Float32Array([
  0, 3, 60, 100, 0, 0, 1,
  1, 2, 64, 100, 0, 2, 4,
  1, 4, 52, 100, 1, 2, 4,
  2, 2.5, 60, 100, 0, 5, 5,
]), { width: 6, height: 3, rows: [{ fromTop: 2, role: 'pitch' }, { fromTop: 1, role: 'time' }] });

test('a time and a pitch find the note sounding there, the melody before the chords', () => {
  const cases = [
    [0.5, 60, 0], [1.5, 64, 1], [1.5, 52, 2], [2.2, 60, 0], [3.5, 52, 2], [3.5, 60, -1],
    [0.5, 64, -1], [5, 52, -1],
  ];
  for (const [seconds, pitch, note] of cases) {
    assert.equal(song.noteAt(seconds, pitch), note, `${seconds} s, pitch ${pitch}`);
  }
});

test('a picture column finds the melody note made of it', () => {
  assert.deepEqual([0, 1, 2, 3, 4, 5, 6, -1].map((c) => song.noteAtColumn(c)), [0, 0, 1, 1, 1, 3, -1, -1]);
});

test('the playhead crosses the picture as the melody goes, to the last column\'s end', () => {
  const cases = [[0, 0], [0.5, 1], [1, 2], [1.5, 3.5], [2, 5], [2.25, 5.5], [2.5, 6], [9, 6]];
  for (const [seconds, column] of cases) assert.equal(song.columnAt(seconds), column, `${seconds} s`);
  assert.equal(song.pitchRow, 2);
});

test('notes out of start order are put in order', () => {
  const unordered = new SongMap(new Float32Array([
    2, 3, 62, 100, 0, 1, 1,
    0, 1, 60, 100, 0, 0, 0,
  ]));
  assert.deepEqual([...unordered.order], [1, 0]);
  assert.deepEqual([...unordered.between(0.5, 2.5)], [1, 0]);
  assert.equal(unordered.noteAt(2.5, 62), 0);
});
