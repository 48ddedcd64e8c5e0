#!/usr/bin/env node
// Serves the built page (build/web/dist/) to this machine alone: 127.0.0.1, files only.
//   node web/tools/serve.mjs [--root DIR] [PORT]     PORT 0 (the default) takes a free one
// Prints the address, e.g. http://127.0.0.1:8123/, once it is listening.
import { readFileSync } from 'node:fs';
import { realpath, stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import compression from 'compression';
import send from 'send';

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

// The page's own Content-Security-Policy, from its <meta> tag: sent as a header with every
// file, as a worker obeys only the policy of its script's response and a <meta> in the page
// does not reach it. The page stays the one place the policy is written.
export function pagePolicy(root) {
  let page;
  try {
    page = readFileSync(path.join(root, 'index.html'), 'utf8');
  } catch {
    return null;
  }
  const meta = page.match(/<meta\s+http-equiv="Content-Security-Policy"\s+content="([^"]*)"/i);
  return meta ? meta[1] : null;
}

function refuse(response, status, text) {
  response.writeHead(status, { 'Content-Type': 'text/plain; charset=utf-8' });
  response.end(text + '\n');
}

// True when the request path names something that is really inside root, once every link on
// the way (a folder's too, and a folder's index.html) is followed; what does not exist is left
// to the file library to refuse.
async function staysInside(realRoot, requestPath) {
  let decoded;
  try {
    decoded = decodeURIComponent(requestPath);
  } catch {
    return true;  // refused by the library as a bad request
  }
  const named = path.join(realRoot, decoded);
  const inside = (file) => file === realRoot || file.startsWith(realRoot + path.sep);
  for (const candidate of [named, path.join(named, 'index.html')]) {
    let real;
    try {
      real = await realpath(candidate);
    } catch {
      continue;
    }
    if (!inside(real)) return false;
  }
  return true;
}

async function answer(root, realRoot, headers, request, response) {
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    response.setHeader('Allow', 'GET, HEAD');
    return refuse(response, 405, 'Method not allowed');
  }
  // The path as sent: a URL parser would make "/.//synth" the address "//synth", and a
  // folder's redirect to it a jump to another server.
  const requestPath = request.url.split(/[?#]/, 1)[0];
  if (!requestPath.startsWith('/')) return refuse(response, 400, 'Bad request');
  if (!(await staysInside(realRoot, requestPath))) return refuse(response, 404, 'Not found');
  // Folders are served by their index.html, never listed; a folder named without its
  // trailing slash is redirected to it on this server.
  send(request, requestPath, { root, index: ['index.html'], etag: false, lastModified: false,
    cacheControl: false })
    .on('headers', (res, file) => {
      for (const [name, value] of Object.entries(headers)) res.setHeader(name, value);
      res.setHeader('Content-Type', mimeType(file));
    })
    .pipe(response);
}

// Starts serving root; resolves to the listening server once its address is known.
export async function serve(root = defaultRoot, port = 0) {
  const absoluteRoot = path.resolve(root);
  const realRoot = await realpath(absoluteRoot);
  const headers = { 'Cache-Control': 'no-store', 'X-Content-Type-Options': 'nosniff' };
  const policy = pagePolicy(absoluteRoot);
  if (policy) headers['Content-Security-Policy'] = policy;
  else console.error(`serve.mjs: ${absoluteRoot}/index.html states no Content-Security-Policy`);
  // What compresses is sent compressed, as a web host does: the page's scripts and its
  // WebAssembly are a third of their size on the line.
  const compress = compression();
  const server = createServer((request, response) => {
    compress(request, response, () => {
      answer(absoluteRoot, realRoot, headers, request, response).catch(() => {
        if (!response.headersSent) refuse(response, 500, 'Internal error');
        else response.destroy();
      });
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
  const info = await stat(options.root).catch(() => null);
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
