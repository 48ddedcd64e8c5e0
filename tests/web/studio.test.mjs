// The page as a studio in headless Chromium: the picture shown and played, messages in the
// page's language by kind, the link that makes the same song, a phone's screen, keyboard use
// and an accessibility check, and a worker that fails or is overtaken.
//   PIXORALE_CONVERT=build/ci/app/cli/pixorale-convert node --test tests/web/studio.test.mjs
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { messageText } from '../../web/src/texts.js';
import {
  choosePicture, dist, downloadedMidi, launchBrowser, openPage, setControls, settled, startServer, text,
} from './support/browser.mjs';
import { assertSameBytes, commandOutput } from './support/native.mjs';
import { makePictures, makeStudioPictures, writeLargeBmp } from './support/pictures.mjs';

const web = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../web');
const axeScript = createRequire(path.join(web, 'package.json')).resolve('axe-core/axe.min.js');

let pictures;
let folder;
let server;
let browser;

before(async () => {
  folder = mkdtempSync(path.join(tmpdir(), 'pixorale-studio-test-'));
  pictures = makePictures(folder);
  pictures = { ...pictures, ...makeStudioPictures(folder, pictures) };
  [server, browser] = await Promise.all([startServer(), launchBrowser()]);
});

after(async () => {
  await browser?.close();
  server?.stop();
  if (folder) rmSync(folder, { recursive: true, force: true });
});

const phone = { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 2 };

async function setLanguage(page, language) {
  await setControls(page, [['lang', language]]);
}

function clock(page) {
  return page.evaluate(() => window.pixoraleTest.clock());
}

// What the picture and the roll drew of the playhead, read in one go.
function playheads(page) {
  return page.evaluate(() => {
    const view = document.querySelector('#view');
    return {
      roll: Number(document.querySelector('#roll').dataset.playhead),
      view: Number(view.dataset.playhead),
      column: Number(view.dataset.playheadColumn),
    };
  });
}

test('Play moves the playhead over the picture and the roll together', async () => {
  const page = await openPage(browser, server.address);
  assert.equal(await choosePicture(page, pictures['wide-641x48.bmp']), 'ready');
  await page.click('#play');
  await page.waitForFunction(() => window.pixoraleTest.clock().seconds > 0.5, { timeout: 30_000 });
  const first = await playheads(page);
  const later = (await clock(page)).seconds + 0.5;
  await page.waitForFunction((t) => window.pixoraleTest.clock().seconds > t, { timeout: 10_000 }, later);
  const second = await playheads(page);
  for (const drawn of [first, second]) assert.equal(drawn.view, drawn.roll, JSON.stringify(drawn));
  assert.ok(second.roll > first.roll && second.column > first.column, JSON.stringify({ first, second }));
  // The musical preset plays the 641 columns in fewer notes: a column further on each time.
  assert.ok(second.column < 641, JSON.stringify(second));
  assert.equal(await text(page, '#error'), '');
  assert.deepEqual(page.pageErrors, []);
  await page.close();
});

test('tapping the picture names the note made of that place, and the pixel', async () => {
  // Low reds in the left half of the pitch row, high ones in the right: low notes, then high.
  // The chromatic scale keeps every pitch as it is: 30 (F#1) and 110 (D8).
  const page = await openPage(browser, server.address);
  await setControls(page, [['preset', 'desktop'], ['scale', 'chromatic']]);
  assert.equal(await choosePicture(page, pictures['low-then-high.bmp']), 'ready');
  const box = await (await page.$('#view')).boundingBox();
  // The picture is 64 columns of 3 rows: its first stored row, the bottom one, gives pitches.
  await page.mouse.click(box.x + box.width * 0.1, box.y + box.height / 2);
  assert.match(await text(page, '#note-info'), /^F#1（メロディ）· 0:00\.\d · 画素 \(6, 2\)$/);
  await page.mouse.click(box.x + box.width * 0.9, box.y + box.height / 2);
  assert.match(await text(page, '#note-info'), /^D8（メロディ）· 0:\d\d\.\d · 画素 \(57, 2\)$/);
  await page.close();
});

describe('every message in the page\'s language, chosen by its kind', () => {
  // [picture, kind] of failures the page can meet; the large picture is changed after it was
  // chosen.
  const failures = [
    ['notes.txt', 'unsupported-picture'],
    ['cut.png', 'damaged-picture'],
    ['paletted.bmp', 'not-true-colour'],
    ['too-wide.png', 'picture-too-large'],
    ['large.bmp', 'unreadable-picture'],
  ];
  // [settings, picture, kind] of warnings.
  const warnings = [
    [[['sustain', '0']], 'rgb8.png', 'silent-sustain'],
    [[['preset', 'desktop'], ['range-low', '90'], ['range-high', '40']], 'rgb8.png', 'empty-range'],
    [[['tempo', '3']], 'rgb8.png', 'tempo-rounded'],
    [[], 'cut-641x48.bmp', 'truncated-pixels'],
    [[['max-seconds', '0.01']], 'rgb8.png', 'one-note-too-long'],
  ];
  for (const language of ['ja', 'en']) {
    test(`failures in ${language}: the song before is cleared`, async () => {
      const page = await openPage(browser, server.address);
      await setLanguage(page, language);
      for (const [name, kind] of failures) {
        let picture = pictures[name];
        if (name === 'large.bmp') {
          picture = path.join(folder, `${language}-large.bmp`);
          writeLargeBmp(picture);
        }
        assert.equal(await choosePicture(page, pictures['rgb8.png']), 'ready');
        if (name === 'large.bmp') {
          assert.equal(await choosePicture(page, picture), 'ready');
          rmSync(picture);
          await setControls(page, [['tempo', '100']]);
        } else {
          await choosePicture(page, picture);
        }
        assert.equal(await settled(page), 'error', name);
        const error = await page.$eval('#error', (e) => ({ text: e.textContent, ...e.dataset }));
        assert.equal(error.kind, kind, name);
        assert.equal(error.text, messageText(language, 'failure', { kind, subject: path.basename(picture) }));
        if (language === 'ja') assert.ok(!error.text.includes(error.reason), error.text);
        assert.deepEqual(await page.evaluate(() => ({
          summary: document.querySelector('#summary').textContent,
          play: document.querySelector('#play').disabled,
          midi: document.querySelector('#download-mid').hasAttribute('href'),
        })), { summary: '', play: true, midi: false }, `the song before ${name} is cleared`);
      }
      assert.deepEqual(page.pageErrors, []);
      await page.close();
    });

    test(`warnings and refused values in ${language}: a refused value marks the song before as stale`, async () => {
      const page = await openPage(browser, server.address);
      await setLanguage(page, language);
      for (const [settings, name, kind] of warnings) {
        await setControls(page, [['preset', 'musical'], ...settings]);
        assert.equal(await choosePicture(page, pictures[name]), 'ready');
        const shown = await page.$$eval('#warnings li', (items) => items.map((i) => [i.dataset.kind, i.textContent]));
        assert.deepEqual(shown, [[kind, messageText(language, 'warning', { kind, subject: name })]]);
      }
      await setControls(page, [['tempo', '0']]);
      assert.equal(await settled(page), 'error');
      const refused = {
        ja: 'テンポには1以上の整数を入力してください',
        en: 'Tempo (beats per minute): enter a whole number of 1 or more',
      };
      assert.equal(await text(page, '#error'), refused[language]);
      assert.deepEqual(await page.evaluate(() => ({
        stale: document.querySelector('.result').dataset.stale,
        shown: !document.querySelector('#stale').hidden,
        play: document.querySelector('#play').disabled,
        summary: document.querySelector('#summary').textContent !== '',
      })), { stale: 'true', shown: true, play: true, summary: true });
      await page.close();
    });
  }
});

test('a link makes the same song of the same picture, with the converter\'s bytes', async () => {
  const name = "dad's photo.jpg";
  const first = await openPage(browser, server.address);
  assert.equal(await choosePicture(first, pictures[name]), 'ready');
  await setControls(first, [['key', 'F#'], ['chords', true], ['columns', '40'], ['tempo', '90']]);
  assert.equal(await settled(first), 'ready');
  const link = await first.$eval('#link', (a) => a.href);
  const command = await text(first, '#command');
  const midi = await downloadedMidi(first);
  await first.close();

  const second = await openPage(browser, link, { at: link });
  assert.equal(await second.evaluate(() => document.body.dataset.state), 'idle');
  assert.match(await text(second, '#link-notice'), /dad's photo\.jpg/);
  assert.equal(await choosePicture(second, pictures[name]), 'ready');
  assert.equal(await text(second, '#command'), command);
  assertSameBytes(await downloadedMidi(second), midi, 'the link\'s song');
  assertSameBytes(commandOutput(command, pictures[name]), midi, "the command's output");
  await second.close();
});

test('choosing the same file again converts it again, with a new seed', async () => {
  const page = await openPage(browser, server.address);
  assert.equal(await choosePicture(page, pictures['rgb8.png']), 'ready');
  const seed = await page.$eval('#summary', (s) => s.dataset.seed);
  await (await page.$('#picture')).uploadFile(pictures['rgb8.png']);
  await page.waitForFunction((seed) => document.querySelector('#summary').dataset.seed !== seed, {}, seed);
  assert.equal(await settled(page), 'ready');
  await page.close();
});

describe('on a phone', () => {
  test('no sideways scroll, Play on the first screen, targets a finger can hit', async () => {
    const page = await openPage(browser, server.address, { viewport: phone });
    assert.equal(await choosePicture(page, pictures['baseline.jpg']), 'ready');
    const layout = await page.evaluate(() => {
      const play = document.querySelector('#play').getBoundingClientRect();
      // A checkbox's target is the label around it.
      const small = [...document.querySelectorAll('button, select, input, summary, a.button')]
        .filter((e) => e.getClientRects().length > 0 && e.type !== 'file')
        .map((e) => [e.id || e.textContent.trim(), (e.type === 'checkbox' ? e.closest('label') : e).getBoundingClientRect()])
        .filter(([, box]) => box.height < 44 || box.width < 44)
        .map(([name, box]) => `${name} ${Math.round(box.width)}x${Math.round(box.height)}`);
      return {
        sideways: document.documentElement.scrollWidth - document.documentElement.clientWidth,
        playBottom: play.bottom, screen: innerHeight, small,
      };
    });
    assert.equal(layout.sideways, 0);
    assert.ok(layout.playBottom <= layout.screen, `Play ends at ${layout.playBottom} of ${layout.screen}`);
    assert.deepEqual(layout.small, []);
    await page.close();
  });

  test('no Japanese line ends with one character alone', async () => {
    const page = await openPage(browser, server.address, { viewport: phone });
    await page.evaluate(() => { document.querySelector('#more-settings').open = true; });
    const orphans = await page.evaluate(() => {
      const found = [];
      const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
      for (let node = walker.nextNode(); node; node = walker.nextNode()) {
        const characters = [...node.textContent];
        if (characters.length < 2 || !/[\u3040-\u30ff\u4e00-\u9fff]/.test(node.textContent)) continue;
        // Characters by the line they stand on.
        const lines = new Map();
        let offset = 0;
        for (const character of characters) {
          const range = document.createRange();
          range.setStart(node, offset);
          range.setEnd(node, offset + character.length);
          offset += character.length;
          const box = range.getClientRects()[0];
          if (!box || character.trim() === '') continue;
          const top = Math.round(box.top);
          lines.set(top, (lines.get(top) ?? '') + character);
        }
        if (lines.size > 1) found.push(...[...lines.values()].filter((line) => [...line].length === 1));
      }
      return found;
    });
    assert.deepEqual(orphans, []);
    await page.close();
  });
});

test('keyboard alone: choose a picture, play, save the MIDI file', async () => {
  const page = await openPage(browser, server.address);
  const downloads = mkdtempSync(path.join(tmpdir(), 'pixorale-downloads-'));
  const session = await browser.target().createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, eventsEnabled: true });
  const downloaded = new Promise((resolve) => session.on('Browser.downloadProgress', (event) => {
    if (event.state === 'completed') resolve();
  }));
  // Tab until the element has the focus; Enter then works it.
  const tabTo = async (id) => {
    for (let i = 0; i < 60; i++) {
      if (await page.evaluate(() => document.activeElement?.id) === id) return;
      await page.keyboard.press('Tab');
    }
    assert.fail(`#${id} is not reached with Tab`);
  };
  // Asked for first: the browser is told to hand the chooser over before Enter opens it.
  const chooser = page.waitForFileChooser();
  await tabTo('drop-zone');
  await page.keyboard.press('Enter');
  await (await chooser).accept([pictures['rgb8.png']]);
  assert.equal(await settled(page), 'ready');
  await tabTo('play');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.querySelector('#play').getAttribute('aria-pressed') === 'true');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.querySelector('#play').getAttribute('aria-pressed') === 'false');
  await tabTo('download-mid');
  await page.keyboard.press('Enter');
  await downloaded;
  assertSameBytes(readFileSync(path.join(downloads, 'rgb8.mid')), await downloadedMidi(page), 'the saved file');
  await session.send('Browser.setDownloadBehavior', { behavior: 'default' });
  await session.detach();
  rmSync(downloads, { recursive: true, force: true });
  await page.close();
});

describe('the automated accessibility check finds nothing', () => {
  const states = [
    ['before a picture, on a phone, in Japanese', { viewport: phone }, 'ja', null],
    ['with a song, in English', {}, 'en', 'wide-641x48.bmp'],
    ['with a refused picture, in Japanese', {}, 'ja', 'notes.txt'],
  ];
  for (const [what, options, language, picture] of states) {
    test(what, async () => {
      // The check is a script of its own, which the page's policy would refuse.
      const checked = await openPage(browser, server.address, { ...options, bypassCsp: true });
      await setLanguage(checked, language);
      if (picture) await choosePicture(checked, pictures[picture]);
      await checked.addScriptTag({ path: axeScript });
      const violations = await checked.evaluate(async () => {
        const { violations } = await window.axe.run(document);
        return violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
      });
      assert.deepEqual(violations, []);
      await checked.close();
    });
  }
});

describe('the conversion worker', () => {
  test('a core that fails to load again after a failure answers; the page does not hang', async () => {
    // A page of its own, whose core can be taken away.
    const root = path.join(folder, 'dist');
    cpSync(dist, root, { recursive: true, filter: (source) => source !== path.join(dist, 'synth') });
    const ownServer = await startServer(root);
    const page = await openPage(browser, ownServer.address);
    const picture = path.join(folder, 'reload-large.bmp');
    writeLargeBmp(picture);
    assert.equal(await choosePicture(page, picture), 'ready');
    // From now on the core cannot be fetched, and the picture is gone.
    rmSync(path.join(root, 'core', 'pixorale-core.wasm'));
    rmSync(picture);
    await setControls(page, [['tempo', '100']]);
    assert.equal(await settled(page), 'error');
    assert.equal(await page.$eval('#error', (e) => e.dataset.kind), 'unreadable-picture');
    // The core stopped inside the read: the next request needs a new one, which cannot load.
    await setControls(page, [['tempo', '101']]);
    assert.equal(await settled(page, 30_000), 'error');
    assert.equal(await page.$eval('#error', (e) => e.dataset.kind), 'core-unavailable');
    assert.equal(await text(page, '#error'), messageText('ja', 'failure', { kind: 'core-unavailable' }));
    await page.close();
    ownServer.stop();
  });

  test('a conversion overtaken while it runs stops with its worker; the latest settings win', async () => {
    const page = await openPage(browser, server.address);
    await setControls(page, [['preset', 'desktop']]);
    const workers = () => page.requested.filter((url) => url.endsWith('/conversion-worker.js')).length;
    assert.equal(await choosePicture(page, pictures['rgb8.png']), 'ready');
    const before = workers();
    // Four million notes take seconds; the change comes while they are converted.
    await (await page.$('#picture')).uploadFile(pictures['slow.png']);
    await page.waitForFunction(() => document.body.dataset.state === 'converting');
    await setControls(page, [['columns', '1000']]);
    assert.equal(await settled(page), 'ready');
    assert.equal(workers(), before + 1, 'a fresh worker took over');
    assert.equal(await page.$eval('#summary', (s) => s.dataset.notes), '1000');
    assertSameBytes(commandOutput(await text(page, '#command'), pictures['slow.png']),
      await downloadedMidi(page), "the command's output");
    await page.close();
  });
});
