// What the page's files cost on the line: the bytes the test server sends for each (compressed
// where it compresses), asked of the server itself, so that no test restates its rules.
import { get } from 'node:http';

const sizes = new Map();

// The bytes of the answer's body for the address, as sent to a browser that takes gzip.
export function servedBytes(url) {
  if (!sizes.has(url)) {
    sizes.set(url, new Promise((resolve, reject) => {
      get(url, { headers: { 'Accept-Encoding': 'gzip, deflate, br' } }, (response) => {
        let bytes = 0;
        response.on('data', (part) => { bytes += part.length; });
        response.on('end', () => resolve(response.statusCode === 200 ? bytes : 0));
      }).on('error', reject);
    }));
  }
  return sizes.get(url);
}

// The sum over addresses of the same origin as `address`, each counted once.
export async function servedTotal(address, urls) {
  const own = [...new Set(urls)].filter((url) => url.startsWith(address));
  const bytes = await Promise.all(own.map((url) => servedBytes(url.split('#')[0])));
  return bytes.reduce((sum, b) => sum + b, 0);
}
