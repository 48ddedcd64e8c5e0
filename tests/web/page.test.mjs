// The web page end to end in headless Chromium: what #download-mid holds is what the native
// converter writes for the same picture, settings and seed, on every decoder path; #command
// is what the page ran; damaged pictures are refused and the page goes on; the roll shows
// the notes; Play makes sound.
//   PIXORALE_CONVERT=build/ci/app/cli/pixorale-convert node --test tests/web/page.test.mjs
// against build/web/dist/ (scripts/test-web.sh builds it first).
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import {
  choosePicture, downloadedMidi, launchBrowser, nextFrames, openPage, setControls, settled,
  startServer, text,
} from './support/browser.mjs';
import {
  assertSameBytes, commandOutput, nativeMidi, nativeRefusal, optionsFor,
} from './support/native.mjs';
import { makePictures } from './support/pictures.mjs';
import { messageText } from '../../web/src/texts.js';

let pictures;
let folder;
let server;
let browser;

before(async () => {
  assert.ok(process.env.PIXORALE_CONVERT, 'PIXORALE_CONVERT names the native converter');
  folder = mkdtempSync(path.join(tmpdir(), 'pixorale-web-test-'));
  pictures = makePictures(folder);
  [server, browser] = await Promise.all([startServer(), launchBrowser()]);
});

after(async () => {
  await browser?.close();
  server?.stop();
  if (folder) rmSync(folder, { recursive: true, force: true });
});

// The settings' controls: the preset first, as it sets the others; the seed last, as a new
// picture gets a random one.
const controlIds = {
  scale: 'scale', sustain: 'sustain', tempo: 'tempo', timing: 'timing', resolution: 'resolution',
  chords: 'chords', key: 'key', columns: 'columns',
};

function changesFor(settings, seed) {
  const changes = [['preset', settings.preset]];
  for (const [name, id] of Object.entries(controlIds)) {
    if (settings[name] !== undefined) changes.push([id, settings[name]]);
  }
  if (settings.range) changes.push(['range-low', settings.range[0]], ['range-high', settings.range[1]]);
  changes.push(['seed', seed]);
  return changes;
}

// Chooses the picture, then sets the controls; resolves to the state the last conversion
// ends in.
async function convertWith(page, name, settings, seed) {
  const chosen = await choosePicture(page, pictures[name]);
  assert.equal(chosen, 'ready', `choosing ${name}: ${await text(page, '#error')}`);
  await setControls(page, changesFor(settings, seed));
  return settled(page);
}

// Opens the page, converts the picture with these settings and checks the download against
// the native converter; resolves to the page for further checks.
async function convertAndCompare(name, settings, seed) {
  const page = await openPage(browser, server.address);
  const state = await convertWith(page, name, settings, seed);
  assert.equal(state, 'ready', `the page says: ${await text(page, '#error')}`);
  assert.equal(await text(page, '#error'), '');
  const midi = await downloadedMidi(page);
  assertSameBytes(midi, nativeMidi(pictures[name], optionsFor(settings, seed)), '#download-mid');
  assert.equal(await page.$eval('#download-mid', (a) => a.download),
    name.replace(/\.[^.]+$/, '.mid'));

  // The command shown, read by a shell beside a copy of the picture under its name, gives the
  // same bytes.
  assertSameBytes(commandOutput(await text(page, '#command'), pictures[name]), midi, "#command's output");
  assert.deepEqual(page.pageErrors, []);
  return page;
}

const musical = { preset: 'musical' };
const desktop = { preset: 'desktop' };

// One row a case: each decoder path (BMP widths and padding; PNG colour types, 16 bits,
// Adam7; JPEG baseline, progressive, a rotating Exif tag) meets one or two settings, so that
// every setting meets more than one path; the seeds differ from row to row.
const cases = [
  ['one-pixel.bmp', musical, 1],
  ['padded-3x5.bmp', { ...desktop, timing: 'ms', resolution: 250 }, 2],
  ['wide-641x48.bmp', { ...musical, chords: true }, 3],
  ['rgb8.png', { ...desktop, range: [40, 90] }, 4],
  ['rgba8.png', { ...musical, key: 'D#' }, 5],
  ['palette.png', { ...musical, columns: 40 }, 6],
  ['grey8.png', { ...desktop, scale: 'c-dorian', sustain: 6, tempo: 90 }, 7],
  ['rgb16.png', { ...desktop, chords: true, key: 'A#' }, 8],
  ['interlaced.png', musical, 9],
  ['baseline.jpg', { ...musical, chords: true, timing: 'ms' }, 10],
  ['-progressive.jpg', { ...desktop, columns: 500 }, 11],
  ['exif-rotated.jpg', desktop, 12],
  // Past 2^53: a seed read as a JavaScript number would change.
  ["dad's photo.jpg", { ...musical, key: 'F#', chords: true }, '18446744073709551615'],
];

describe('#download-mid and #command match the native converter', () => {
  for (const [name, settings, seed] of cases) {
    test(`${name}, ${JSON.stringify(settings)}, seed ${seed}`, async () => {
      const page = await convertAndCompare(name, settings, seed);
      await page.close();
    });
  }

  test('a PNG 40,000 columns wide converts', async () => {
    const page = await convertAndCompare('wide-40000.png', musical, 14);
    await page.close();
  });
});

describe('a damaged file is refused and the page goes on', () => {
  const kinds = { 'cut.png': 'damaged-picture', 'cut.jpg': 'damaged-picture',
    'notes.txt': 'unsupported-picture' };
  for (const [name, kind] of Object.entries(kinds)) {
    test(name, async () => {
      const reason = nativeRefusal(pictures[name]);
      assert.ok(reason, `the native converter refuses ${name}`);
      const page = await openPage(browser, server.address);
      assert.equal(await choosePicture(page, pictures[name]), 'error');
      // Told in the page's words by its kind; the converter's own reason carried unchanged.
      assert.equal(await text(page, '#error'), messageText('ja', 'failure', { kind, subject: name }));
      assert.equal(await page.$eval('#error', (error) => error.dataset.reason), reason);

      assert.equal(await choosePicture(page, pictures['rgb8.png']), 'ready');
      assert.equal(await text(page, '#error'), '');
      const seed = await page.$eval('#summary', (summary) => summary.dataset.seed);
      assertSameBytes(await downloadedMidi(page), nativeMidi(pictures['rgb8.png'], optionsFor(musical, seed)),
        '#download-mid after the damaged file');
      assert.deepEqual(page.pageErrors, []);
      await page.close();
    });
  }
});

// Counts the coloured pixels of the roll in a part of it (fractions of its width and height).
function colouredPixels(page, x0, x1, y0, y1) {
  return page.evaluate((x0, x1, y0, y1) => {
    const roll = document.querySelector('#roll');
    const copy = document.createElement('canvas');
    [copy.width, copy.height] = [roll.width, roll.height];
    const context = copy.getContext('2d');
    context.drawImage(roll, 0, 0);
    const left = Math.floor(x0 * roll.width);
    const top = Math.floor(y0 * roll.height);
    const { data } = context.getImageData(left, top,
      Math.max(1, Math.floor(x1 * roll.width) - left), Math.max(1, Math.floor(y1 * roll.height) - top));
    let count = 0;
    for (let i = 0; i < data.length; i += 4) {
      const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
      if (data[i + 3] > 0 && Math.max(r, g, b) - Math.min(r, g, b) > 80) ++count;
    }
    return count;
  }, x0, x1, y0, y1);
}

test('the roll draws the notes where they are: low ones first, then high ones', async () => {
  // The left half of the picture plays pitch 29 and its right half pitch 110.
  const page = await convertAndCompare('low-then-high.bmp', desktop, 16);
  await nextFrames(page);
  const firstThird = [0, 1 / 3];
  const lastThird = [2 / 3, 1];
  const top = [0, 0.5];
  const bottom = [0.5, 1];
  const counts = {
    firstLow: await colouredPixels(page, ...firstThird, ...bottom),
    firstHigh: await colouredPixels(page, ...firstThird, ...top),
    lastLow: await colouredPixels(page, ...lastThird, ...bottom),
    lastHigh: await colouredPixels(page, ...lastThird, ...top),
  };
  assert.ok(counts.firstLow > 0 && counts.lastHigh > 0, JSON.stringify(counts));
  assert.ok(counts.firstHigh === 0 && counts.lastLow === 0, JSON.stringify(counts));
  await page.close();
});

test("the song sounds through Play's synthesizer, its SoundFont loaded only when asked for; Play plays", async () => {
  const page = await convertAndCompare('wide-641x48.bmp', musical, 17);
  assert.deepEqual(page.requested.filter((url) => url.endsWith('.sf3')), []);
  const { peak, rms } = await page.evaluate(() => window.pixoraleTest.render(2));
  assert.ok(peak > 0.05 && rms > 0.005, `peak ${peak}, rms ${rms}`);

  // Play itself: it runs on the audio clock, which moves the playhead over the roll.
  await page.click('#play');
  await page.waitForFunction(() => document.querySelector('#play').getAttribute('aria-pressed') === 'true' &&
    document.querySelector('#status').textContent === '', { timeout: 30_000 });
  const rollNow = () => page.$eval('#roll', (roll) => roll.toDataURL());
  const before = await rollNow();
  await page.waitForFunction((before) => document.querySelector('#roll').toDataURL() !== before,
    { timeout: 30_000, polling: 100 }, before)
    .catch(() => assert.fail('Play did not move the playhead within 30 s'));
  assert.equal(await text(page, '#error'), '');
  assert.deepEqual(page.pageErrors, []);
  await page.close();
});
