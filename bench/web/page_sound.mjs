#!/usr/bin/env node
// The page's sound, side by side in one run for two builds of the page (this one and another,
// for example the previous version's), in headless Chromium:
//   (a) from pressing Play to the first sound reaching the output, on a line emulated at
//       10 Mbit/s with 40 ms latency: once the page has been idle with a song shown, and at once
//       after the conversion; target <= 1 s
//   (b) what arrives between pressing Play and the first sound, as a host that compresses
//       sends it; target <= 1.2 MB
//   (c) Play's loudest sample over its first seconds against the WAV download's over the same
//       seconds, in dBFS, both taken at the audio output; target within 0.5 dB
// Both pages are measured the same way, from outside: every buffer a page schedules and what
// reaches its audio output are watched, so that no page needs a hook of its own.
// Usage, from the project root, after `bash scripts/build-web.sh`:
//   node bench/web/page_sound.mjs [--before DIST] [--runs N]   (default: 3 runs)
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import {
  dist, emulateLine, launchBrowser, setControls, settled, startServer,
} from '../../tests/web/support/browser.mjs';
import { servedTotal } from '../../tests/web/support/served.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args.splice(at, 2)[1] : fallback;
};
const before = option('--before', null);
const runs = Number(option('--runs', 3));
const SLOW_LINE = { download: 10e6 / 8, upload: 10e6 / 8, latency: 40 };
const LEVEL_SECONDS = 8;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const decibels = (amplitude) => 20 * Math.log10(amplitude);

// Installed in the page before its own scripts: the first non-silent frame of any buffer
// scheduled for playing, on the page's clock, and the peak of what reaches the output.
function watchSound() {
  window.benchFirstSound = null;
  window.benchPeak = 0;
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (when = 0, ...rest) {
    const buffer = this.buffer;
    if (window.benchFirstSound === null && buffer) {
      const channels = [...Array(buffer.numberOfChannels).keys()].map((c) => buffer.getChannelData(c));
      const frame = channels[0].findIndex((_, i) => channels.some((samples) => samples[i] !== 0));
      if (frame >= 0) {
        const context = this.context;
        const { contextTime, performanceTime } = context.getOutputTimestamp();
        const at = Math.max(when, context.currentTime) + frame / context.sampleRate;
        window.benchFirstSound = performanceTime + (at - contextTime) * 1000;
      }
    }
    return start.call(this, when, ...rest);
  };
  const connect = AudioNode.prototype.connect;
  AudioNode.prototype.connect = function (target, ...rest) {
    if (!(target instanceof AudioDestinationNode) || this.benchTap) return connect.call(this, target, ...rest);
    const context = target.context;
    if (!context.benchTap) {
      // Every frame that reaches the output passes the tap; a script processor (which hands
      // the main thread every block, unlike an analyser's snapshots) reads its peak and
      // passes silence on.
      const tap = new GainNode(context);
      tap.benchTap = true;
      connect.call(tap, target);
      const meter = context.createScriptProcessor(4096, 2, 2);
      meter.benchTap = true;
      meter.onaudioprocess = ({ inputBuffer }) => {
        for (let channel = 0; channel < 2; channel++) {
          for (const sample of inputBuffer.getChannelData(channel)) {
            window.benchPeak = Math.max(window.benchPeak, Math.abs(sample));
          }
        }
      };
      connect.call(tap, meter);
      connect.call(meter, target);
      context.benchTap = tap;
    }
    return connect.call(this, context.benchTap, ...rest);
  };
}

async function openWithSong(browser, address, picture, { slow }) {
  const page = await browser.newPage();
  page.requested = [];
  page.on('request', (request) => page.requested.push(request.url()));
  await page.evaluateOnNewDocument(watchSound);
  if (slow) await emulateLine(page, SLOW_LINE);
  await page.goto(address, { waitUntil: 'load' });
  await (await page.$('#picture')).uploadFile(picture);
  await settled(page);
  // One song for every run and both pages: a new picture gets a random seed.
  await setControls(page, [['seed', '1']]);
  if (await settled(page) !== 'ready') throw new Error('the page did not convert the picture');
  return page;
}

// Lets a page that fetches the synthesizer while idle do so (a page that waits for Play does
// nothing within 10 s), then waits for the network to rest.
async function idleWithSong(page) {
  await page.waitForResponse((response) => response.url().includes('/synth/libfluidsynth'),
    { timeout: 10_000 }).catch(() => {});
  await page.waitForNetworkIdle({ idleTime: 500, timeout: 120_000 });
}

// Presses Play; the time to the first sound and the bytes fetched meanwhile.
async function firstSound(page, address) {
  const known = page.requested.length;
  const clicked = await page.evaluate(() => {
    const at = performance.now();
    document.querySelector('#play').click();
    return at;
  });
  await page.waitForFunction(() => window.benchFirstSound !== null, { timeout: 120_000, polling: 10 });
  const sounded = await page.evaluate(() => window.benchFirstSound);
  return { ms: sounded - clicked, bytes: await servedTotal(address, page.requested.slice(known)) };
}

async function soundFigures(browser, address, picture) {
  const idle = [];
  const cold = [];
  for (let run = 0; run < runs; run++) {
    for (const [list, wait] of [[idle, true], [cold, false]]) {
      const page = await openWithSong(browser, address, picture, { slow: true });
      if (wait) await idleWithSong(page);
      list.push(await firstSound(page, address));
      await page.close();
    }
  }
  return {
    idleMs: median(idle.map((r) => r.ms)), idleBytes: median(idle.map((r) => r.bytes)),
    coldMs: median(cold.map((r) => r.ms)), coldBytes: median(cold.map((r) => r.bytes)),
  };
}

// Play's peak at the output over its first LEVEL_SECONDS, and the WAV's over the same seconds.
async function levelFigures(browser, address, picture) {
  const page = await openWithSong(browser, address, picture, { slow: false });
  await page.click('#download-wav');
  await page.waitForSelector('#download-wav[data-url]', { timeout: 120_000 });
  const wavPeak = await page.evaluate(async (seconds) => {
    const bytes = new DataView(await (await fetch(document.querySelector('#download-wav').dataset.url)).arrayBuffer());
    let at = 12;
    while (String.fromCharCode(...[0, 1, 2, 3].map((i) => bytes.getUint8(at + i))) !== 'data') {
      at += 8 + bytes.getUint32(at + 4, true);
    }
    const samples = Math.min(bytes.getUint32(at + 4, true) / 2, seconds * 44100 * 2);
    let peak = 0;
    for (let i = 0; i < samples; i++) peak = Math.max(peak, Math.abs(bytes.getInt16(at + 8 + 2 * i, true)) / 32767);
    return peak;
  }, LEVEL_SECONDS);
  await page.evaluate(() => { window.benchFirstSound = null; window.benchPeak = 0; });
  await page.click('#play');
  await page.waitForFunction(() => window.benchFirstSound !== null, { timeout: 120_000 });
  await page.waitForFunction((seconds) => performance.now() > window.benchFirstSound + seconds * 1000 + 300,
    { timeout: 120_000, polling: 200 }, LEVEL_SECONDS);
  const playPeak = await page.evaluate(() => window.benchPeak);
  await page.close();
  return { play: decibels(playPeak), wav: decibels(wavPeak) };
}

async function measure(browser, root, picture) {
  const server = await startServer(root);
  try {
    return { ...(await soundFigures(browser, server.address, picture)), ...(await levelFigures(browser, server.address, picture)) };
  } finally {
    server.stop();
  }
}

const folder = mkdtempSync(path.join(tmpdir(), 'pixorale-sound-bench-'));
const browser = await launchBrowser();
try {
  // A 641 x 48 picture, as the browser tests convert: the page's first preset makes a melody
  // of about a minute.
  const picture = path.join(folder, 'wide.bmp');
  execFileSync('python3', [path.join(repo, 'bench/make_picture.py'), '641', '48', picture]);
  const pages = [['this build', dist], ...(before ? [['--before', path.resolve(before)]] : [])];
  const figures = [];
  for (const [name, root] of pages) {
    console.error(`measuring ${name} (${root})`);
    figures.push(await measure(browser, root, picture));
  }
  const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
  const row = (what, cell, target) =>
    console.log(`| ${what} | ${figures.map(cell).join(' | ')} | ${target} |`);
  console.log(`Median of ${runs} runs; emulated line 10 Mbit/s, 40 ms`);
  console.log(`| what | ${pages.map(([name]) => name).join(' | ')} | target |`);
  console.log(`|---|${pages.map(() => '---|').join('')}---|`);
  row('Play to first sound, synthesizer fetched while idle', (f) => `${f.idleMs.toFixed(0)} ms`, '<= 1000 ms');
  row('bytes between Play and first sound, then', (f) => kb(f.idleBytes), '<= 1.2 MB');
  row('Play to first sound, Play at once after converting', (f) => `${f.coldMs.toFixed(0)} ms`, '');
  row('bytes between Play and first sound, then', (f) => kb(f.coldBytes), '<= 1.2 MB');
  row(`Play's peak, first ${LEVEL_SECONDS} s`, (f) => `${f.play.toFixed(2)} dBFS`, '');
  row(`WAV's peak, first ${LEVEL_SECONDS} s`, (f) => `${f.wav.toFixed(2)} dBFS`, '');
  row('Play against the WAV', (f) => `${(f.play - f.wav).toFixed(2)} dB`, 'within 0.5 dB');
} finally {
  await browser.close();
  rmSync(folder, { recursive: true, force: true });
}
