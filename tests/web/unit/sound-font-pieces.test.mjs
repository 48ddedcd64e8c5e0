// How an instrument of the SoundFont is cut into pieces by key.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { keysOf, planPieces } from '../../../web/tools/sound-font-pieces.mjs';

const zone = (low, high, sample, bytes) => ({ keys: { low, high }, sample, bytes });
const ranges = (pieces) => pieces.map(({ low, high }) => `${low}-${high}`);

test('pieces cover every key once and keep their samples within the target where they can', () => {
  const cases = [
    // Three samples of 40 bytes: two fit in 100, the third starts a new piece.
    [[zone(0, 40, 'a', 40), zone(41, 80, 'b', 40), zone(81, 127, 'c', 40)], 100, ['0-80', '81-127']],
    // A sample larger than the target is a piece of its own; keys no zone plays join a piece.
    [[zone(20, 40, 'a', 500), zone(60, 70, 'b', 10)], 100, ['0-19', '20-40', '41-127']],
    // Velocity layers over the same keys are never parted: one range, one piece, even if large.
    [[zone(0, 127, 'soft', 80), zone(0, 127, 'loud', 80)], 100, ['0-127']],
    // A sample shared by two zones counts once.
    [[zone(0, 60, 'a', 60), zone(61, 127, 'a', 60)], 100, ['0-127']],
    // Overlapping zones: the keys where both sound stay together.
    [[zone(0, 70, 'a', 60), zone(50, 127, 'b', 60)], 100, ['0-49', '50-70', '71-127']],
  ];
  for (const [zones, target, expected] of cases) {
    assert.deepEqual(ranges(planPieces(zones, target)), expected, JSON.stringify(zones));
  }
});

test("a zone without a key range plays every key; one with a range its own keys", () => {
  assert.deepEqual(keysOf(undefined), { low: 0, high: 127 });
  assert.deepEqual(keysOf({ min: -1, max: 127 }), { low: 0, high: 127 });
  assert.deepEqual(keysOf({ min: 35, max: 38 }), { low: 35, high: 38 });
});
