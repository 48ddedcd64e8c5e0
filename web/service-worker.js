// Keeps the page on the device, so that it opens, converts and plays with no network after the
// first visit: the page's files and the synthesizer are stored when the worker is installed
// (a worker the page started before this one took over fetches outside it), and everything
// else of the page (the SoundFont's pieces, the licences) once it has been fetched.
// scripts/build-web.sh writes the version (a digest of the built files) and the list of the
// page's files; each version keeps its own cache, and the older ones go when it takes over.
const VERSION = '@VERSION@';
const PAGE_FILES = ['./', @PAGE_FILES@];
const CACHE = `pixorale-${VERSION}`;
const CACHE_PREFIX = 'pixorale-';

// Asked again of the server rather than taken from the browser's cache unchecked, so that a
// version never stores another's files; a host that sends ETag or Last-Modified answers the
// files the page has just loaded with 304, at no cost.
self.addEventListener('install', (event) => {
  const requests = PAGE_FILES.map((file) => new Request(file, { cache: 'no-cache' }));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(requests)));
});

// A page opened before the worker was installed is taken over, so that what it fetches later
// (the synthesizer and the SoundFont on Play) is kept as well. An update takes over only once
// no page runs the older version (no skipWaiting), so a page never mixes two versions.
self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(CACHE_PREFIX) && name !== CACHE) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

async function answer(request) {
  const cache = await caches.open(CACHE);
  // The page's address may carry a query (?test): it is the same page.
  const kept = await cache.match(request, { ignoreSearch: request.mode === 'navigate' });
  if (kept) return kept;
  const response = await fetch(request);
  if (response.ok && response.type === 'basic') await cache.put(request, response.clone());
  return response;
}

self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(answer(request));
});
