// The page's file server: each kind of file with the type a browser needs (WebAssembly is
// compiled while streaming only as application/wasm, a module worker only as JavaScript),
// folders never listed, nothing outside its folder reachable however the path is spelled.
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { get } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { startServer } from './support/browser.mjs';

let folder;
let server;

before(async () => {
  folder = mkdtempSync(path.join(tmpdir(), 'pixorale-serve-test-'));
  const root = path.join(folder, 'dist');
  const files = {
    'index.html': '<!doctype html><title>page</title>',
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
    ['/', 'text/html; charset=utf-8', '<!doctype html><title>page</title>'],
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
  }
});

test('no folder is listed and nothing outside the folder is served, however the path is spelled', async () => {
  const paths = [
    '/src/', '/../outside.txt', '/src/../../outside.txt', '/%2e%2e/outside.txt', '/..%2foutside.txt',
    '/src/..%2f..%2foutside.txt', '/..%5coutside.txt', '/%2fetc%2fpasswd', '//etc/passwd',
    '/index.html%00.png', '/%E0%A4%A',
  ];
  for (const raw of paths) {
    const response = await request(raw);
    assert.ok(response.status >= 400, `${raw}: ${response.status}`);
    assert.doesNotMatch(response.body.toString(), /secret|root:|app\.js/, raw);
  }
});
