// Which SoundFont pieces a song needs and the channel each note plays on.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

// The built module, which imports the facts.js the build writes.
const dist = process.env.PIXORALE_WEB_DIST ?? path.resolve('build/web/dist');
const { SongPieces, pieceFor } = await import(pathToFileURL(path.join(dist, 'src/sound-pieces.js')));
const { NOTE_FIELDS } = await import(pathToFileURL(path.join(dist, 'src/song-events.js')));

// Program 0 in two pieces, program 1 in one; 10 frames a second.
const index = {
  programs: [
    [{ low: 0, high: 59, file: 'p0-low', bytes: 100 }, { low: 60, high: 127, file: 'p0-high', bytes: 200 }],
    [{ low: 0, high: 127, file: 'p1', bytes: 50 }],
  ],
};
// Notes: start s, end s, pitch, velocity, track (the picture's columns left at 0).
const notes = (...rows) =>
  new Float32Array(rows.flatMap((row) => [...row, ...Array(NOTE_FIELDS - row.length).fill(0)]));

test('each track and piece gets its own channel; a key always the same one', () => {
  const song = new SongPieces(index, notes(
    [0, 1, 64, 100, 0], [1, 2, 40, 100, 0], [2, 3, 64, 100, 0], [0, 2, 64, 100, 1], [3, 4, 41, 100, 0],
  ), [0, 0], 10);
  assert.deepEqual([...song.noteChannels], [0, 1, 0, 2, 1]);
  assert.deepEqual(song.channels.map(({ program, file, firstFrame }) => [program, file, firstFrame]),
    [[0, 'p0-high', 0], [0, 'p0-low', 10], [0, 'p0-high', 0]]);
});

test('pieces are fetched once each, in the order the song first plays them', () => {
  const song = new SongPieces(index, notes([2, 3, 64, 100, 0], [1, 2, 30, 100, 1], [0, 1, 30, 100, 0]),
    [0, 1], 10);
  assert.deepEqual(song.files(),
    [{ file: 'p0-low', bytes: 100 }, { file: 'p1', bytes: 50 }, { file: 'p0-high', bytes: 200 }]);
});

test('the song renders up to the first note whose piece is missing', () => {
  const song = new SongPieces(index, notes([0, 1, 64, 100, 0], [1.5, 2, 30, 100, 0]), [0, 0], 10);
  const cases = [
    [[], 0, 'p0-high'], [['p0-high'], 15, 'p0-low'], [['p0-high', 'p0-low'], Infinity, null],
    [['p0-low'], 0, 'p0-high'],
  ];
  for (const [loaded, frame, file] of cases) {
    assert.deepEqual(song.firstMissing((f) => loaded.includes(f)), { frame, file }, loaded.join());
  }
});

test('a key or program the index lacks is refused, not played silently', () => {
  assert.throws(() => pieceFor(index, 5, 60), /program 5/);
  assert.throws(() => pieceFor({ programs: [[{ low: 0, high: 59, file: 'x', bytes: 1 }]] }, 0, 60), /key 60/);
});
