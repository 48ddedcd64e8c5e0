#!/usr/bin/env node
// Cuts the General MIDI SoundFont into small pieces for the page, so that Play fetches only the
// keys of the instruments a song plays (a few tens of KB) instead of the whole SoundFont:
//   node web/tools/split-sound-font.mjs SOUNDFONT OUT_DIR [--target-bytes N]
// Writes OUT_DIR/PPP-LLL-HHH.sf3 (program, lowest and highest key) for the 128 melodic
// programs of bank 0 and OUT_DIR/index.json, which the page's sound worker reads:
//   {"soundFont": NAME, "programs": [[{"low", "high", "file", "bytes"}, ...] x 128]}
// The samples are copied as they are (compressed ones stay compressed), with every generator
// and modulator of the zones kept, so each piece plays its keys exactly as the SoundFont does.
import { mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { BasicSoundBank, SoundBankLoader } from 'spessasynth_core';
import { keysOf, overlaps, planPieces } from './sound-font-pieces.mjs';

// Small enough that the first note's piece arrives in a fraction of a second on a slow line,
// large enough that a song's pieces are few requests.
const DEFAULT_TARGET_BYTES = 96 * 1024;
const PROGRAMS = 128;

function melodicPreset(bank, program) {
  const preset = bank.presets.find((p) => p.program === program && p.bankMSB === 0 &&
    p.bankLSB === 0 && !p.isGMGSDrum);
  if (!preset) throw new Error(`the SoundFont has no preset for program ${program} in bank 0`);
  return preset;
}

// Every zone that sounds, with the keys it sounds on: a preset zone's range meets its
// instrument zone's.
function soundingZones(preset) {
  const zones = [];
  for (const presetZone of preset.zones) {
    const outer = keysOf(presetZone.keyRange);
    for (const zone of presetZone.instrument.zones) {
      const inner = keysOf(zone.keyRange);
      if (!overlaps(outer, inner)) continue;
      zones.push({
        keys: { low: Math.max(outer.low, inner.low), high: Math.min(outer.high, inner.high) },
        sample: zone.sample,
        bytes: zone.sample.getRawData(true).length,
      });
    }
  }
  return zones;
}

// A SoundFont of the preset alone, without the zones that sound on none of `keys`.
function pieceOf(source, preset, keys) {
  const bank = new BasicSoundBank();
  bank.soundBankInfo = { ...source.soundBankInfo };
  const copy = bank.clonePreset(preset);
  for (let i = copy.zones.length - 1; i >= 0; i--) {
    if (!overlaps(keysOf(copy.zones[i].keyRange), keys)) copy.deleteZone(i);
  }
  for (const instrument of new Set(copy.zones.map((zone) => zone.instrument))) {
    for (let i = instrument.zones.length - 1; i >= 0; i--) {
      if (!overlaps(keysOf(instrument.zones[i].keyRange), keys)) instrument.deleteZone(i, true);
    }
  }
  bank.removeUnusedElements();
  bank.flush();
  return new Uint8Array(bank.writeSF2({
    writeDefaultModulators: true, writeExtendedLimits: true, software: 'Pixorale split-sound-font',
  }));
}

const pad = (n) => String(n).padStart(3, '0');

function main(args) {
  const at = args.indexOf('--target-bytes');
  const targetBytes = at >= 0 ? Number(args.splice(at, 2)[1]) : DEFAULT_TARGET_BYTES;
  if (args.length !== 2 || !(targetBytes > 0)) {
    throw new Error('usage: split-sound-font.mjs SOUNDFONT OUT_DIR [--target-bytes N]');
  }
  const [input, outDir] = args;
  const source = SoundBankLoader.fromArrayBuffer(readFileSync(input).buffer);
  rmSync(outDir, { recursive: true, force: true });
  mkdirSync(outDir, { recursive: true });
  const programs = [];
  let total = 0;
  for (let program = 0; program < PROGRAMS; program++) {
    const preset = melodicPreset(source, program);
    programs.push(planPieces(soundingZones(preset), targetBytes).map((keys) => {
      const file = `${pad(program)}-${pad(keys.low)}-${pad(keys.high)}.sf3`;
      const bytes = pieceOf(source, preset, keys);
      writeFileSync(path.join(outDir, file), bytes);
      total += bytes.length;
      return { ...keys, file, bytes: bytes.length };
    }));
  }
  const index = { soundFont: path.basename(input), programs };
  writeFileSync(path.join(outDir, 'index.json'), JSON.stringify(index) + '\n');
  const count = programs.reduce((sum, pieces) => sum + pieces.length, 0);
  console.log(`${count} SoundFont pieces, ${(total / 1048576).toFixed(1)} MiB, in ${outDir}`);
}

try {
  main(process.argv.slice(2));
} catch (error) {
  console.error(`split-sound-font.mjs: ${error.message}`);
  process.exit(1);
}
