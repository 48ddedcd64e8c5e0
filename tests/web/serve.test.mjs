// The page's file server: each kind of file with the type a browser needs (WebAssembly is
// compiled while streaming only as application/wasm, a module worker only as JavaScript),
// folders never listed, nothing outside its folder reachable however the path is spelled or
// linked, the page's own Content-Security-Policy on everything it serves (a worker obeys only
// the policy of its script's response).
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { get } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { startServer } from './support/browser.mjs';

let folder;
let server;

const policy = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; worker-src 'self'";
const page = `<!doctype html><meta http-equiv="Content-Security-Policy" content="${policy}">` +
  '<title>page</title>';

before(async () => {
  folder = mkdtempSync(path.join(tmpdir(), 'pixorale-serve-test-'));
  const root = path.join(folder, 'dist');
  const files = {
    'index.html': page,
    'src/app.js': 'export const page = 1;',
    'core/pixorale-core.wasm': '\0asm',
    'synth/FluidR3Mono_GM.sf3': 'sfbk',
    'pictures/icon.png': 'png',
    'sound/roll.wav': 'RIFF',
    'licenses/readme.txt': 'licences',
  };
  for (const [name, content] of Object.entries(files)) {
    mkdirSync(path.dirname(path.join(root, name)), { recursive: true });
    writeFileSync(path.join(root, name), content);
  }
  writeFileSync(path.join(folder, 'outside.txt'), 'secret');
  mkdirSync(path.join(folder, 'elsewhere'));
  writeFileSync(path.join(folder, 'elsewhere', 'index.html'), 'secret');
  symlinkSync('../outside.txt', path.join(root, 'escape.txt'));
  symlinkSync('..', path.join(root, 'up'));
  symlinkSync('../elsewhere', path.join(root, 'away'));
  mkdirSync(path.join(root, 'linked'));
  symlinkSync('../../outside.txt', path.join(root, 'linked', 'index.html'));
  symlinkSync('app.js', path.join(root, 'src', 'alias.js'));
  server = await startServer(root);
});

after(() => {
  server?.stop();
  if (folder) rmSync(folder, { recursive: true, force: true });
});

// A raw request: the path goes out exactly as written, not normalised as fetch() would.
function request(rawPath, headers = {}) {
  const { port } = new URL(server.address);
  return new Promise((resolve, reject) => {
    get({ host: '127.0.0.1', port, path: rawPath, headers }, (response) => {
      const chunks = [];
      response.on('data', (chunk) => chunks.push(chunk));
      response.on('end', () => resolve({ ...response, headers: response.headers,
        status: response.statusCode, body: Buffer.concat(chunks) }));
    }).on('error', reject);
  });
}

test('each file is served with its type', async () => {
  const types = [
    ['/', 'text/html; charset=utf-8', page],
    ['/src/app.js', 'text/javascript; charset=utf-8', 'export const page = 1;'],
    ['/core/pixorale-core.wasm', 'application/wasm', '\0asm'],
    ['/synth/FluidR3Mono_GM.sf3', 'application/octet-stream', 'sfbk'],
    ['/pictures/icon.png', 'image/png', 'png'],
    ['/sound/roll.wav', 'audio/x-wav', 'RIFF'],
    ['/licenses/readme.txt', 'text/plain; charset=utf-8', 'licences'],
  ];
  for (const [file, type, content] of types) {
    const response = await request(file);
    assert.equal(response.status, 200, file);
    assert.equal(response.headers['content-type'], type, file);
    assert.equal(response.body.toString(), content, file);
    assert.equal(response.headers['content-security-policy'], policy, file);
  }
});

test('no folder is listed and nothing outside the folder is served, however the path is spelled', async () => {
  const paths = [
    '/src/', '/../outside.txt', '/src/../../outside.txt', '/%2e%2e/outside.txt', '/..%2foutside.txt',
    '/src/..%2f..%2foutside.txt', '/..%5coutside.txt', '/%2fetc%2fpasswd', '//etc/passwd',
    '/index.html%00.png', '/%E0%A4%A', '/escape.txt', '/up/outside.txt', '/away/', '/linked/',
    '/linked/index.html',
  ];
  for (const raw of paths) {
    const response = await request(raw);
    assert.ok(response.status >= 400, `${raw}: ${response.status}`);
    assert.doesNotMatch(response.body.toString(), /secret|root:|app\.js/, raw);
  }
});

test('a link that stays inside the folder is served', async () => {
  const response = await request('/src/alias.js');
  assert.equal(response.status, 200);
  assert.equal(response.body.toString(), 'export const page = 1;');
});

test("a folder's redirect stays on this server however the path is spelled", async () => {
  const base = server.address;
  for (const raw of ['/synth', '/.//synth', '//synth', '/./synth', '/src/..//synth']) {
    const response = await request(raw);
    assert.equal(response.status, 301, raw);
    const location = response.headers.location;
    assert.doesNotMatch(location, /^[/\\]{2}|^[a-z]+:/i, `${raw} -> ${location}`);
    const target = new URL(location, base);
    assert.equal(target.origin, new URL(base).origin, `${raw} -> ${location}`);
    assert.match(target.pathname, /\/synth\/$/, `${raw} -> ${location}`);
  }
});
