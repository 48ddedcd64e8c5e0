// facts.js, which the build writes from the converter's table of options, against the
// converter itself (PIXORALE_CONVERT): every limit the page is told is the one the converter
// keeps, every default the one it converts with, every choice one it takes, every exclusion
// one it refuses. The page takes its controls from these facts, so a fault in writing them
// would show here and not only as a page that quietly differs.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, test } from 'node:test';
import { pathToFileURL } from 'node:url';

const dist = process.env.PIXORALE_WEB_DIST ?? path.resolve('build/web/dist');
const { default: facts } = await import(pathToFileURL(path.join(dist, 'src/facts.js')));
const converter = process.env.PIXORALE_CONVERT;

const folder = mkdtempSync(path.join(tmpdir(), 'pixorale-facts-'));
after(() => rmSync(folder, { recursive: true, force: true }));

// A 2 x 1 BMP: the smallest picture that converts.
const picture = path.join(folder, 'in.bmp');
const bmp = Buffer.alloc(62);
bmp.write('BM');
bmp.writeUInt32LE(62, 2);
bmp.writeUInt32LE(54, 10);
bmp.writeUInt32LE(40, 14);
bmp.writeInt32LE(2, 18);
bmp.writeInt32LE(1, 22);
bmp.writeUInt16LE(1, 26);
bmp.writeUInt16LE(24, 28);
writeFileSync(picture, bmp);

// The converter's exit status for these options: 2 when it refuses them as a usage error.
function convert(...options) {
  const out = path.join(folder, 'out.mid');
  return spawnSync(converter, [picture, '--no-settings', '-f', '-o', out, ...options],
    { stdio: 'ignore' }).status;
}

// The settings the converter reports it converted with.

function settingsOf(...options) {
  const out = path.join(folder, 'out.mid');
  const run = spawnSync(converter, [picture, '--no-settings', '-f', '-o', out, '--json', ...options],
    { encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  return JSON.parse(run.stdout).settings;
}

const valued = facts.options.filter((o) => ['whole', 'bounds', 'choice'].includes(o.kind) &&
  o.name !== '--output' && o.name !== '--output-dir');
const sample = (o, low, high) => (o.kind === 'bounds' ? `${low}:${high}` : String(low));

test('the limits the page is told are the converter\'s own', { skip: !converter }, () => {
  for (const o of valued.filter((each) => each.kind !== 'choice')) {
    const min = BigInt(o.min);
    const max = BigInt(o.max);
    // A pitch map needs its low below its high.
    const top = o.name === '--map' ? max - 1n : max;
    assert.notEqual(convert(o.name, sample(o, min, o.kind === 'bounds' ? max : min)), 2,
      `${o.name} ${min}`);
    assert.notEqual(convert(o.name, sample(o, top, max)), 2, `${o.name} ${max}`);
    if (min > 0n) assert.equal(convert(o.name, sample(o, min - 1n, max)), 2, `${o.name} below`);
    assert.equal(convert(o.name, sample(o, max + 1n, max + 1n)), 2, `${o.name} above`);
  }
});

test('every choice the page offers is one the converter takes', { skip: !converter }, () => {
  for (const o of valued.filter((each) => each.kind === 'choice')) {
    for (const { value } of o.choices) assert.equal(convert(o.name, value), 0, `${o.name} ${value}`);
  }
  for (const preset of facts.presets) {
    assert.equal(convert('--preset', preset.name), 0, preset.name);
    const given = Object.fromEntries(preset.options);
    const expected = settingsOf(...preset.options.flat().filter((word) => word !== ''));
    assert.deepEqual(settingsOf('--preset', preset.name), expected, JSON.stringify(given));
  }
});

test('the defaults the page shows are what the converter converts with', { skip: !converter }, () => {
  const used = settingsOf();
  for (const o of facts.options.filter((each) => each.report !== null && each.default !== null)) {
    assert.equal(String(used[o.report]), o.default, o.name);
  }
});

// The option with a value it takes.
function given(name) {
  const o = facts.options.find((each) => each.name === name);
  if (o.kind === 'flag') return [name];
  if (o.kind === 'bounds') return [name, `${o.min}:${BigInt(o.min) + 1n}`];
  if (o.kind === 'choice') return [name, o.choices[0].value];
  if (o.kind === 'decimal') return [name, '5'];
  return [name, o.min];
}

test('the options the page keeps apart are those the converter refuses together', { skip: !converter }, () => {
  for (const o of facts.options.filter((each) => each.label !== null)) {
    assert.equal(convert(...given(o.name)), 0, o.name);
    for (const other of o.excludes) {
      assert.equal(convert(...given(o.name), ...given(other)), 2, `${o.name} ${other}`);
    }
  }
});
