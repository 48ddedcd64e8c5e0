#!/usr/bin/env node
// Settings changed quickly while long conversions run: from the last change to its song shown,
// for the built page and, side by side in the same run, for another build of the page (the
// one before a change, say). A 4,000,000-column PNG takes seconds to convert; CHANGES tempo
// changes follow choosing it at once, as a keyboard's arrow keys on a control would.
// Usage, from the project root, after `bash scripts/build-web.sh`:
//   node bench/web/superseded.mjs [--other DIST] [--changes N] [--runs N]   (default: 8, 3)
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { dist, launchBrowser, startServer } from '../../tests/web/support/browser.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at >= 0 ? args[at + 1] : fallback;
};
const other = option('--other', null);
const changes = Number(option('--changes', 8));
const runs = Number(option('--runs', 3));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// One run: the picture chosen with the desktop preset, then the tempo changed `changes` times
// in a row; the seconds from the last change until the page is ready with it.
async function lastChangeToSong(browser, address, picture) {
  const page = await browser.newPage();
  await page.goto(address, { waitUntil: 'load' });
  await page.evaluate(() => {
    const preset = document.querySelector('#preset');
    preset.value = 'desktop';
    preset.dispatchEvent(new Event('change', { bubbles: true }));
  });
  await (await page.$('#picture')).uploadFile(picture);
  const ms = await page.evaluate(async (changes) => {
    const tempo = document.querySelector('#tempo');
    for (let i = 1; i <= changes; ++i) {
      tempo.value = String(100 + i);
      tempo.dispatchEvent(new Event('change', { bubbles: true }));
    }
    const start = performance.now();
    const wanted = `--tempo ${100 + changes}`;
    await new Promise((resolve) => {
      const check = () => {
        const done = document.body.dataset.state === 'ready' &&
          document.querySelector('#command').textContent.includes(wanted);
        if (done) resolve();
        else requestAnimationFrame(check);
      };
      check();
    });
    return performance.now() - start;
  }, changes);
  await page.close();
  return ms;
}

const folder = mkdtempSync(path.join(tmpdir(), 'pixorale-superseded-'));
const builds = [['this build', dist], ...(other ? [['other', path.resolve(other)]] : [])];
const servers = await Promise.all(builds.map(([, root]) => startServer(root)));
const browser = await launchBrowser();
try {
  const picture = path.join(folder, 'wide.png');
  execFileSync('python3', [path.join(repo, 'tests/corpus/costly_pictures.py'), 'wide', '4000000', picture]);
  const times = builds.map(() => []);
  // The builds take turns, so that both see the same machine load.
  for (let run = 0; run < runs; ++run) {
    for (let b = 0; b < builds.length; ++b) {
      times[b].push(await lastChangeToSong(browser, servers[b].address, picture));
    }
  }
  console.log(`A 4,000,000-column PNG, ${changes} tempo changes at once; median of ${runs} runs`);
  console.log('| build | last change to its song |');
  console.log('|---|---|');
  builds.forEach(([name, root], b) => {
    console.log(`| ${name} (${root}) | ${(median(times[b]) / 1000).toFixed(2)} s |`);
  });
} finally {
  await browser.close();
  for (const server of servers) server.stop();
  rmSync(folder, { recursive: true, force: true });
}
