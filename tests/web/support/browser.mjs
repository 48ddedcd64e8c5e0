// Headless Chromium (Debian's, driven by puppeteer-core from web/node_modules) against the
// built page served by web/tools/serve.mjs on 127.0.0.1, and the steps a user takes there.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const puppeteer = createRequire(path.join(repo, 'web/package.json'))('puppeteer-core');

export const dist = path.resolve(process.env.PIXORALE_WEB_DIST ?? path.join(repo, 'build/web/dist'));

// Serves dist with the project's own server; resolves to its address and a stop function.
export function startServer(root = dist) {
  const server = spawn(process.execPath, [path.join(repo, 'web/tools/serve.mjs'), '--root', root],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let output = '';
    server.stdout.on('data', (data) => {
      output += data;
      const address = output.match(/^(http:\/\/127\.0\.0\.1:\d+\/)\n/m);
      if (address) resolve({ address: address[1], stop: () => server.kill() });
    });
    server.once('exit', (code) => reject(new Error(`serve.mjs stopped (${code}): ${output}`)));
  });
}

// Chromium with nothing of its own reaching out: no downloads of components, no sync, no
// first-run pages; a fresh profile each time.
export async function launchBrowser() {
  const profile = mkdtempSync(path.join(tmpdir(), 'pixorale-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: [
      '--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run',
      '--autoplay-policy=no-user-gesture-required', `--user-data-dir=${profile}`,
    ],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A fresh tab on the page, with its test hooks (`?test`) unless `at` says otherwise, in the
// viewport given, and with the page's Content-Security-Policy set aside when a test injects a
// script; the page's uncaught errors are kept in page.pageErrors, the addresses it and its
// workers requested in page.requested. setUp(page) runs before the page opens.
export async function openPage(browser, address,
  { at = '?test', viewport = null, bypassCsp = false, setUp = async () => {} } = {}) {
  const page = await browser.newPage();
  if (bypassCsp) await page.setBypassCSP(true);
  page.pageErrors = [];
  page.requested = [];
  page.on('pageerror', (error) => page.pageErrors.push(error.message));
  page.on('request', (request) => page.requested.push(request.url()));
  if (viewport) await page.setViewport(viewport);
  await setUp(page);
  await page.goto(new URL(at, address).href, { waitUntil: 'load' });
  // The keyboard goes to the tab in front.
  await page.bringToFront();
  return page;
}

// A slow line for the page and its workers, set before the page opens (Chromium refuses to
// change the line once workers run). The service worker is bypassed: Chromium does not slow
// down what a service worker fetches, which would pass the workers' requests at full speed.
export async function emulateLine(page, conditions) {
  await page.setBypassServiceWorker(true);
  await page.emulateNetworkConditions(conditions);
}

// Sets controls as a user would, in order, each followed by its change event: [[id, value],
// ...]. A select takes an option's value or, failing that, its text; a checkbox true or false.
// All in one go, so that the page's state afterwards is that of the last change.
export async function setControls(page, changes) {
  const problem = await page.evaluate((changes) => {
    for (const [id, value] of changes) {
      const control = document.getElementById(id);
      if (!control) return `no #${id}`;
      if (control.type === 'checkbox') {
        control.checked = value;
      } else if (control.tagName === 'SELECT') {
        const options = [...control.options];
        const option = options.find((o) => o.value === value) ??
          options.find((o) => o.textContent.trim() === value);
        if (!option) return `#${id} has no option ${value}`;
        control.value = option.value;
      } else {
        control.value = value;
      }
      control.dispatchEvent(new Event('input', { bubbles: true }));
      control.dispatchEvent(new Event('change', { bubbles: true }));
    }
    return null;
  }, changes.map(([id, value]) => [id, typeof value === 'boolean' ? value : String(value)]));
  if (problem) throw new Error(problem);
}

// The state the conversion started last ends in: 'ready' or 'error'. The page says
// `converting` in the very event that starts one, so a state read afterwards is never that of
// an earlier conversion.
export async function settled(page, timeout = 60_000) {
  await page.waitForFunction(() => ['ready', 'error'].includes(document.body.dataset.state),
    { timeout, polling: 50 });
  return page.evaluate(() => document.body.dataset.state);
}

// Chooses the picture in the file input; resolves to the state its conversion ends in.
export async function choosePicture(page, file) {
  await (await page.$('#picture')).uploadFile(file);
  return settled(page);
}

// Resolves once the page has drawn what it has pending (the roll draws on the next frame).
export function nextFrames(page) {
  return page.evaluate(() => new Promise((resolve) =>
    requestAnimationFrame(() => requestAnimationFrame(resolve))));
}

// The bytes behind #download-mid, read inside the page as a user's download would be.
export async function downloadedMidi(page) {
  const base64 = await page.evaluate(async () => {
    const blob = await (await fetch(document.querySelector('#download-mid').href)).blob();
    const url = await new Promise((resolve) => {
      const reader = new FileReader();
      reader.onload = () => resolve(reader.result);
      reader.readAsDataURL(blob);
    });
    return url.slice(url.indexOf(',') + 1);
  });
  return Buffer.from(base64, 'base64');
}

export function text(page, selector) {
  return page.$eval(selector, (element) => element.textContent.trim());
}
