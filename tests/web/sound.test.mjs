// The page's sound and its life without a network, in headless Chromium: the first note of Play
// within a second on a slow line, Play as loud as the WAV, what loads before the first Play,
// and the page opening and converting offline after one visit.
//   PIXORALE_CONVERT=build/ci/app/cli/pixorale-convert node --test tests/web/sound.test.mjs
// against build/web/dist/ (scripts/test-web.sh builds it first).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import {
  choosePicture, dist, emulateLine, launchBrowser, openPage, setControls, settled, startServer, text,
} from './support/browser.mjs';
import { makePictures } from './support/pictures.mjs';
import { servedTotal } from './support/served.mjs';

// A phone's slow line: 10 Mbit/s each way, 40 ms each way.
const SLOW_LINE = { download: 10e6 / 8, upload: 10e6 / 8, latency: 40 };
const KB = 1024;

let pictures;
let folder;
let browser;

before(async () => {
  folder = mkdtempSync(path.join(tmpdir(), 'pixorale-sound-test-'));
  pictures = makePictures(folder);
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  if (folder) rmSync(folder, { recursive: true, force: true });
});

// The archive build-web.sh writes beside the page for web hosts, unpacked.
function unpackedArchive() {
  const archives = readdirSync(path.dirname(dist)).filter((name) => /^pixorale-web-.*\.zip$/.test(name));
  assert.equal(archives.length, 1, `one archive of the page beside ${dist}`);
  const root = path.join(folder, 'archive');
  execFileSync('python3', ['-m', 'zipfile', '-e', path.join(path.dirname(dist), archives[0]), root]);
  return root;
}

// Each test its own server, so its own origin: no service worker or cache of another test.
async function withServer(run, root = dist) {
  const server = await startServer(root);
  try {
    return await run(server);
  } finally {
    server.stop();
  }
}

// The 16-bit samples of a WAV file's data chunk, as -1..1.
function wavSamples(bytes) {
  let at = 12;
  while (bytes.toString('latin1', at, at + 4) !== 'data') at += 8 + bytes.readUInt32LE(at + 4);
  const size = bytes.readUInt32LE(at + 4);
  const samples = new Float32Array(size / 2);
  for (let i = 0; i < samples.length; i++) samples[i] = bytes.readInt16LE(at + 8 + 2 * i) / 32767;
  return samples;
}

const decibels = (amplitude) => 20 * Math.log10(amplitude);

// The page under test (?test) with the picture converted; setUp(page) runs before it opens.
async function pageWithSong(server, picture, setUp) {
  const page = await openPage(browser, server.address, { setUp });
  assert.equal(await choosePicture(page, pictures[picture]), 'ready', await text(page, '#error'));
  return page;
}

test('before the first Play the page loads at most 400 KB; the synthesizer comes while idle', () =>
  withServer(async (server) => {
    const page = await pageWithSong(server, 'wide-641x48.bmp');
    const opened = page.requested.filter((url) => !url.includes('/synth/'));
    const bytes = await servedTotal(server.address, opened);
    assert.ok(bytes <= 400 * KB, `the page loaded ${(bytes / KB).toFixed(1)} KB to open and convert`);
    // The synthesizer starts once the page is idle with a song shown, before any Play.
    await page.waitForFunction(() => window.pixoraleSoundForTest.prepared !== null, { timeout: 30_000 });
    assert.ok(!page.requested.some((url) => url.includes('/synth/fonts/') && url.endsWith('.sf3')),
      'no SoundFont before a Play');
    await page.close();
  }));

test('the first note sounds within 1 s of Play on a 10 Mbit/s line, its pieces under 1.2 MB', () =>
  withServer(async (server) => {
    const page = await pageWithSong(server, 'wide-641x48.bmp', (tab) => emulateLine(tab, SLOW_LINE));
    const converted = await page.evaluate(() => performance.now());
    await page.waitForFunction(() => window.pixoraleSoundForTest.prepared !== null, { timeout: 60_000 });
    // The line is slow for the sound worker too: the synthesizer (0.9 MB) took that long.
    const prepared = await page.evaluate(() => window.pixoraleSoundForTest.prepared);
    assert.ok(prepared - converted >= 600, `the synthesizer came in ${(prepared - converted).toFixed(0)} ms`);

    const before = page.requested.length;
    const clicked = await page.evaluate(() => {
      const at = performance.now();
      document.querySelector('#play').click();
      return at;
    });
    await page.waitForFunction(() => window.pixoraleSoundForTest.firstSound !== null, { timeout: 30_000 });
    const firstSound = await page.evaluate(() => window.pixoraleSoundForTest.firstSound);
    const between = await servedTotal(server.address, page.requested.slice(before));
    const ms = firstSound - clicked;
    assert.ok(ms <= 1000, `the first note sounded ${ms.toFixed(0)} ms after Play`);
    assert.ok(between > 0 && between <= 1.2 * 1024 * KB,
      `${(between / KB).toFixed(1)} KB between Play and the first note`);
    assert.equal(await text(page, '#error'), '');
    assert.deepEqual(page.pageErrors, []);
    await page.close();
  }));

test("Play's loudest sample stands where the WAV's does, at -1 dBFS", () =>
  withServer(async (server) => {
    const page = await pageWithSong(server, 'wide-641x48.bmp');
    const play = await page.evaluate(() => window.pixoraleTest.render(70));

    await page.click('#download-wav');
    await page.waitForSelector('#download-wav[data-url]', { timeout: 120_000 });
    const wav = Buffer.from(await page.evaluate(async () => {
      const blob = await (await fetch(document.querySelector('#download-wav').dataset.url)).blob();
      return [...new Uint8Array(await blob.arrayBuffer())];
    }));
    let wavPeak = 0;
    for (const sample of wavSamples(wav)) wavPeak = Math.max(wavPeak, Math.abs(sample));

    const difference = decibels(play.peak) - decibels(wavPeak);
    assert.ok(Math.abs(difference) <= 0.5,
      `Play peaks at ${decibels(play.peak).toFixed(2)} dBFS, the WAV at ${decibels(wavPeak).toFixed(2)}`);
    assert.deepEqual(page.pageErrors, []);
    await page.close();
  }));

// The same song on every visit: a picture chosen gets a new seed, which is set back.
async function convertSong(page) {
  await choosePicture(page, pictures['rgb8.png']);
  await setControls(page, [['seed', '7']]);
  return settled(page);
}

test('served from the archive, the page opens, converts and plays after one visit with no network', () =>
  withServer(async (server) => {
    // The visit: the page opens and its service worker takes over (the page's files and the
    // synthesizer stored), then a song converts and plays (its SoundFont pieces stored).
    const page = await openPage(browser, server.address);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 30_000 });
    assert.equal(await convertSong(page), 'ready');
    const online = await page.evaluate(() => window.pixoraleTest.render(2));

    // The network cut: the server gone, and the page opened afresh in a browser that is
    // offline (set before the page starts its workers, as Chromium cannot take a worker
    // offline once it runs).
    server.stop();
    await page.close();
    const offlinePage = await browser.newPage();
    offlinePage.pageErrors = [];
    offlinePage.on('pageerror', (error) => offlinePage.pageErrors.push(error.message));
    await offlinePage.setOfflineMode(true);
    await offlinePage.goto(`${server.address}?test`, { waitUntil: 'load' });
    assert.equal(await convertSong(offlinePage), 'ready', await text(offlinePage, '#error'));
    assert.equal(await text(offlinePage, '#error'), '');
    const offline = await offlinePage.evaluate(() => window.pixoraleTest.render(2));
    assert.equal(offline.peak, online.peak);
    // An instrument never played has no piece kept: the song is refused, not played silent.
    await setControls(offlinePage, [['program', '40']]);
    assert.equal(await settled(offlinePage), 'ready');
    const refused = await offlinePage.evaluate(() => window.pixoraleTest.render(2).then(() => '', String));
    assert.match(refused, /040-\d+-\d+\.sf3/);
    assert.deepEqual(offlinePage.pageErrors, []);
    await offlinePage.close();
  }, unpackedArchive()));
