// What the page's files cost on the line from a web host that compresses what compresses: each
// answer's body as the test server sends it, gzip -9 where that makes it smaller (text,
// WebAssembly), as it is otherwise (the SoundFont's pieces and pictures are compressed already).
import { get } from 'node:http';
import { gzipSync } from 'node:zlib';

const sizes = new Map();

export function servedBytes(url) {
  if (!sizes.has(url)) {
    sizes.set(url, new Promise((resolve, reject) => {
      get(url, (response) => {
        const parts = [];
        response.on('data', (part) => parts.push(part));
        response.on('end', () => {
          if (response.statusCode !== 200) return resolve(0);
          const body = Buffer.concat(parts);
          return resolve(Math.min(body.length, gzipSync(body, { level: 9 }).length));
        });
      }).on('error', reject);
    }));
  }
  return sizes.get(url);
}

// The sum over addresses of the same origin as `address`, each counted once.
export async function servedTotal(address, urls) {
  const own = [...new Set(urls.map((url) => url.split('#')[0]))].filter((url) => url.startsWith(address));
  const bytes = await Promise.all(own.map(servedBytes));
  return bytes.reduce((sum, b) => sum + b, 0);
}
