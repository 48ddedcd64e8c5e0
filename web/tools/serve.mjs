#!/usr/bin/env node
// Serves the built page (build/web/dist/) to this machine alone: 127.0.0.1, files only.
//   node web/tools/serve.mjs [--root DIR] [PORT]     PORT 0 (the default) takes a free one
// Prints the address, e.g. http://127.0.0.1:8123/, once it is listening.
import { createReadStream } from 'node:fs';
import { stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { createGzip } from 'node:zlib';

const here = path.dirname(fileURLToPath(import.meta.url));
export const defaultRoot = path.resolve(here, '../../build/web/dist');

const mimeTypes = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.json': 'application/json',
  '.map': 'application/json',
  '.txt': 'text/plain; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.jpg': 'image/jpeg',
  '.jpeg': 'image/jpeg',
  '.bmp': 'image/bmp',
  '.gif': 'image/gif',
  '.svg': 'image/svg+xml',
  '.ico': 'image/x-icon',
  '.webp': 'image/webp',
  '.wav': 'audio/x-wav',
  '.mid': 'audio/midi',
  '.sf2': 'application/octet-stream',
  '.sf3': 'application/octet-stream',
};

export function mimeType(file) {
  return mimeTypes[path.extname(file).toLowerCase()] ?? 'application/octet-stream';
}

// Text and WebAssembly shrink well; pictures and the SoundFont are compressed already.
function worthGzip(type) {
  return /^text\/|^application\/(wasm|json)|^image\/svg/.test(type);
}

// The file a request path names inside root, or null when it names something outside
// (.. segments, an encoded slash, a NUL byte) or cannot be decoded.
export function resolveInside(root, requestPath) {
  let decoded;
  try {
    decoded = decodeURIComponent(requestPath);
  } catch {
    return null;
  }
  if (decoded.includes('\0') || decoded.includes('\\')) return null;
  if (decoded.split('/').includes('..')) return null;
  const full = path.resolve(root, '.' + decoded);
  return full === root || full.startsWith(root + path.sep) ? full : null;
}

async function fileStat(file) {
  try {
    return await stat(file);
  } catch {
    return null;
  }
}

function refuse(response, status, text) {
  response.writeHead(status, { 'Content-Type': 'text/plain; charset=utf-8' });
  response.end(text + '\n');
}

async function answer(root, request, response) {
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    response.setHeader('Allow', 'GET, HEAD');
    return refuse(response, 405, 'Method not allowed');
  }
  const url = new URL(request.url, 'http://127.0.0.1');
  let file = resolveInside(root, url.pathname);
  if (file === null) return refuse(response, 404, 'Not found');
  let info = await fileStat(file);
  // A folder is served by its index.html, never listed.
  if (info?.isDirectory()) {
    if (!url.pathname.endsWith('/')) {
      response.writeHead(301, { Location: url.pathname + '/' + url.search });
      return response.end();
    }
    file = path.join(file, 'index.html');
    info = await fileStat(file);
  }
  if (!info?.isFile()) return refuse(response, 404, 'Not found');

  const type = mimeType(file);
  const gzip = worthGzip(type) && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
  const headers = {
    'Content-Type': type,
    'Cache-Control': 'no-store',
    'X-Content-Type-Options': 'nosniff',
  };
  if (gzip) {
    headers['Content-Encoding'] = 'gzip';
    headers['Vary'] = 'Accept-Encoding';
  } else {
    headers['Content-Length'] = info.size;
  }
  response.writeHead(200, headers);
  if (request.method === 'HEAD') return response.end();
  const source = createReadStream(file);
  source.on('error', () => response.destroy());
  (gzip ? source.pipe(createGzip()) : source).pipe(response);
}

// Starts serving root; resolves to the listening server once its address is known.
export function serve(root = defaultRoot, port = 0) {
  const absoluteRoot = path.resolve(root);
  const server = createServer((request, response) => {
    answer(absoluteRoot, request, response).catch(() => {
      if (!response.headersSent) refuse(response, 500, 'Internal error');
      else response.destroy();
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve(server));
  });
}

export function addressOf(server) {
  return `http://127.0.0.1:${server.address().port}/`;
}

function parseArguments(args) {
  let root = defaultRoot;
  let port = 0;
  for (let i = 0; i < args.length; ++i) {
    if (args[i] === '--root' && i + 1 < args.length) root = args[++i];
    else if (/^\d+$/.test(args[i]) && Number(args[i]) <= 65535) port = Number(args[i]);
    else throw new Error(`usage: serve.mjs [--root DIR] [PORT]; cannot use '${args[i]}'`);
  }
  return { root, port };
}

async function main() {
  let options;
  try {
    options = parseArguments(process.argv.slice(2));
  } catch (error) {
    console.error(error.message);
    process.exit(2);
  }
  const info = await fileStat(options.root);
  if (!info?.isDirectory()) {
    console.error(`serve.mjs: no folder ${options.root} (build the page first)`);
    process.exit(1);
  }
  const server = await serve(options.root, options.port);
  console.log(addressOf(server));
  for (const signal of ['SIGINT', 'SIGTERM']) {
    process.on(signal, () => {
      server.close(() => process.exit(0));
      server.closeAllConnections(); // a browser keeps its connections open
    });
  }
}

if (process.argv[1] && import.meta.url === pathToFileURL(path.resolve(process.argv[1])).href) {
  main().catch((error) => {
    console.error(`serve.mjs: ${error.message}`);
    process.exit(1);
  });
}
