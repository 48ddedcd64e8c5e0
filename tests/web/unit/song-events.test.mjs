// The order in which the page plays a song's notes into the synthesizer.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

// The built module, which imports the facts.js the build writes.
const dist = process.env.PIXORALE_WEB_DIST ?? path.resolve('build/web/dist');
const { NOTE_FIELDS, SongEvents, renderFrames } = await import(pathToFileURL(path.join(dist, 'src/song-events.js')));

// Notes as the worker gives them: start s, end s, pitch, velocity, track, then their picture
// columns (which play no part here).
const notes = (...rows) => new Float32Array(rows.flatMap((row) => [...row, ...Array(NOTE_FIELDS - row.length).fill(0)]));

function played(list, rate = 10, channels = null) {
  const events = new SongEvents(list, rate, channels);
  const calls = [];
  let frame = 0;
  const synth = {
    midiNoteOn: (channel, pitch, velocity) => calls.push(`${frame}:on ${channel} ${pitch} ${velocity}`),
    midiNoteOff: (channel, pitch) => calls.push(`${frame}:off ${channel} ${pitch}`),
  };
  for (frame = events.nextFrame(); frame !== Infinity; frame = events.nextFrame()) {
    events.playNext(synth);
  }
  return calls;
}

test('notes play in time order, a re-struck pitch ending first, chords on channel 2', () => {
  const cases = [
    [notes([0, 1, 60, 100, 0], [1, 2, 60, 90, 0], [1, 2, 64, 80, 1]),
      ['0:on 0 60 100', '10:off 0 60', '10:on 0 60 90', '10:on 1 64 80', '20:off 0 60', '20:off 1 64']],
    [notes([2, 3, 62, 100, 0], [0, 1, 60, 100, 0]),
      ['0:on 0 60 100', '10:off 0 60', '20:on 0 62 100', '30:off 0 62']],
    // A note that starts and ends in one frame still ends after it starts.
    [notes([1, 1.01, 60, 100, 0], [0, 1, 62, 100, 0]),
      ['0:on 0 62 100', '10:off 0 62', '10:on 0 60 100', '10:off 0 60']],
  ];
  for (const [list, calls] of cases) assert.deepEqual(played(list), calls);
});

test('notes given channels of their own play there, in the same order', () => {
  assert.deepEqual(played(notes([0, 1, 60, 100, 0], [1, 2, 64, 80, 1]), 10, new Uint8Array([5, 2])),
    ['0:on 5 60 100', '10:off 5 60', '10:on 2 64 80', '20:off 2 64']);
});

test('frames are rendered up to each event, then the event plays', () => {
  const log = [];
  const synth = {
    midiNoteOn: () => log.push('on'),
    midiNoteOff: () => log.push('off'),
    render: ([left]) => log.push(left.length),
  };
  const events = new SongEvents(notes([0.5, 1, 60, 100, 0]), 10);
  const left = new Float32Array(8);
  renderFrames(synth, events, left, new Float32Array(8), 0);
  renderFrames(synth, events, left, new Float32Array(8), 8);
  assert.deepEqual(log, [5, 'on', 3, 2, 'off', 6]);
});
