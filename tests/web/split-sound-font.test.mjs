// The build's SoundFont pieces play their keys exactly as the whole SoundFont does: the same
// notes rendered by FluidSynth (Debian's, from the command line) from a piece and from the
// SoundFont give the same bytes; and the pieces of each instrument cover every key once.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const soundFont = '/usr/share/sounds/sf3/FluidR3Mono_GM.sf3';
let folder;
let index;

before(() => {
  folder = mkdtempSync(path.join(tmpdir(), 'pixorale-pieces-'));
  execFileSync(process.execPath, [path.join(repo, 'web/tools/split-sound-font.mjs'), soundFont,
    path.join(folder, 'fonts')], { stdio: 'pipe' });
  index = JSON.parse(readFileSync(path.join(folder, 'fonts/index.json'), 'utf8'));
});

after(() => {
  if (folder) rmSync(folder, { recursive: true, force: true });
});

// A format 0 MIDI file: the program, then each [key, velocity] for 0.25 s at 120 bpm.
function midiFile(program, notes) {
  const events = [0, 0xc0, program];
  for (const [key, velocity] of notes) events.push(0, 0x90, key, velocity, 0x83, 0x60, 0x80, key, 0);
  events.push(0, 0xff, 0x2f, 0);
  const track = Buffer.from(events);
  const header = Buffer.from([0x4d, 0x54, 0x68, 0x64, 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xe0]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(track.length);
  return Buffer.concat([header, Buffer.from('MTrk'), length, track]);
}

function render(font, midi) {
  const input = path.join(folder, 'song.mid');
  const output = path.join(folder, 'song.wav');
  writeFileSync(input, midi);
  execFileSync('fluidsynth', ['-n', '-i', '-q', '-o', 'synth.dynamic-sample-loading=1', '-r', '44100',
    '-F', output, font, input], { stdio: 'pipe' });
  return readFileSync(output);
}

test("each instrument's pieces cover the keys 0 to 127 once, in order", () => {
  assert.equal(index.programs.length, 128);
  for (const [program, pieces] of index.programs.entries()) {
    let next = 0;
    for (const { low, high } of pieces) {
      assert.equal(low, next, `program ${program}`);
      next = high + 1;
    }
    assert.equal(next, 128, `program ${program}`);
  }
});

// The piano (11 pieces, two velocity layers), strings, a flute and a pad: each piece's lowest,
// middle and highest key, soft and loud.
test('a piece plays its keys as the whole SoundFont does', () => {
  for (const program of [0, 48, 73, 88]) {
    for (const { low, high, file } of index.programs[program]) {
      const keys = [...new Set([low, Math.floor((low + high) / 2), high])];
      const midi = midiFile(program, keys.flatMap((key) => [[key, 40], [key, 110]]));
      const fromPiece = render(path.join(folder, 'fonts', file), midi);
      assert.ok(fromPiece.equals(render(soundFont, midi)), `program ${program}, keys ${low}-${high}`);
    }
  }
});
