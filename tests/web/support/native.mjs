// The reference: the native pixorale-convert of a Linux build, and what the page's options
// stand for in its terms.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdirSync, mkdtempSync, readFileSync, rmSync, symlinkSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

export const nativeConverter = process.env.PIXORALE_CONVERT;

// The MIDI bytes of the native converter for picture with these option tokens.
export function nativeMidi(picture, options) {
  const dir = mkdtempSync(path.join(tmpdir(), 'pixorale-native-'));
  try {
    const out = path.join(dir, 'out.mid');
    execFileSync(nativeConverter, [picture, ...options, '-o', out, '-q'], { stdio: 'pipe' });
    return readFileSync(out);
  } catch (error) {
    error.message += `\n${error.stderr ?? ''}`;
    throw error;
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// Why the native converter refuses the picture (its message after the picture's path), or
// null when it converts it.
export function nativeRefusal(picture) {
  try {
    nativeMidi(picture, ['--no-settings', '--seed', '1']);
    return null;
  } catch (error) {
    if (error.status !== 1) throw error;
    const prefix = `pixorale-convert: ${picture}: `;
    const line = error.stderr.toString().split('\n').find((l) => l.startsWith(prefix));
    if (!line) throw error;
    return line.slice(prefix.length);
  }
}

// The converter's options for the page's settings: the preset by its name, as the converter
// takes it, and the settings given beside it.
export function optionsFor(settings, seed) {
  const options = ['--no-settings', '--seed', String(seed)];
  if (settings.preset !== 'desktop') options.push('--preset', settings.preset);
  for (const name of ['columns', 'scale', 'sustain', 'tempo', 'timing', 'resolution', 'key']) {
    if (settings[name] !== undefined) options.push(`--${name}`, String(settings[name]));
  }
  if (settings.chords) options.push('--chords');
  if (settings.range) options.push('--range', settings.range.join(':'));
  return options;
}

// Runs a command line shown by the page in a folder holding a copy of the picture under its
// name, with the native converter as pixorale-convert on the path; the MIDI file it writes
// beside the picture.
export function commandOutput(command, picture) {
  const dir = mkdtempSync(path.join(tmpdir(), 'pixorale-command-'));
  const name = path.basename(picture);
  try {
    mkdirSync(path.join(dir, 'bin'));
    symlinkSync(path.resolve(nativeConverter), path.join(dir, 'bin', 'pixorale-convert'));
    copyFileSync(picture, path.join(dir, name));
    execFileSync('sh', ['-c', command], {
      cwd: dir, env: { ...process.env, PATH: `${path.join(dir, 'bin')}:${process.env.PATH}` }, stdio: 'pipe',
    });
    return readFileSync(path.join(dir, name.replace(/\.[^.]+$/, '.mid')));
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

export function assertSameBytes(actual, expected, what) {
  if (actual.equals(expected)) return;
  const length = Math.min(actual.length, expected.length);
  let first = 0;
  while (first < length && actual[first] === expected[first]) ++first;
  assert.fail(`${what}: ${actual.length} bytes, the native converter's ${expected.length}; ` +
    `they differ from byte ${first}`);
}
