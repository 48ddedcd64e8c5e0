// Play's level: the gain that puts a song's loudest sample where the converter's WAV puts it.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

// The built module, which imports the facts.js the build writes.
const dist = process.env.PIXORALE_WEB_DIST ?? path.resolve('build/web/dist');
const { applyGain, normalisingGain, peakOf } =
  await import(pathToFileURL(path.join(dist, 'src/loudness.js')));

const minusOneDb = 10 ** (-1 / 20);

test('the loudest sample goes to -1 dBFS; silence stays as it is', () => {
  const cases = [[0.5, minusOneDb / 0.5], [1, minusOneDb], [2, minusOneDb / 2], [0, 1], [0.4 / 32767, 1]];
  for (const [peak, gain] of cases) assert.ok(Math.abs(normalisingGain(peak) - gain) < 1e-12, `peak ${peak}`);
});

test('the peak is the largest magnitude of either channel', () => {
  assert.equal(peakOf(new Float32Array([0.1, -0.5]), new Float32Array([0.25])), 0.5);
  assert.equal(peakOf(new Float32Array(0)), 0);
});

test('a change of gain glides over the block, from its first frame to its last', () => {
  const left = new Float32Array([1, 1, 1, 1, 1]);
  const right = new Float32Array([-2, -2, -2, -2, -2]);
  applyGain([left, right], 1, 0.5);
  assert.deepEqual([...left], [1, 0.875, 0.75, 0.625, 0.5]);
  assert.deepEqual([...right], [-2, -1.75, -1.5, -1.25, -1]);
  const single = new Float32Array([0.5]);
  applyGain([single], 2, 2);
  assert.deepEqual([...single], [1]);
});
