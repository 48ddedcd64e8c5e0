// Installs the page's service worker (service-worker.js), which keeps the page for use with no
// network. Pages opened from a file or an insecure address have no service workers: they work
// as before, online.

const supported = 'serviceWorker' in navigator && window.isSecureContext;

// Settles once the service worker is registered, or could not be (a browser that keeps none,
// as some do in private windows).
const registered = !supported ? Promise.reject(new Error('no service workers')) : new Promise((resolve) => {
  window.addEventListener('load', resolve, { once: true });
  if (document.readyState === 'complete') resolve();
}).then(() => navigator.serviceWorker.register(new URL('../service-worker.js', import.meta.url)));
registered.catch(() => {});

// Resolves once the service worker has taken the page over, so that a worker started then has
// what it fetches kept as well (a worker started before stays outside it for good); at once
// where there is none, and after `patienceMs` at the most.
export function whenPageKept(patienceMs = 5000) {
  if (!supported || navigator.serviceWorker.controller) return Promise.resolve();
  return new Promise((resolve) => {
    navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true });
    registered.catch(resolve);
    setTimeout(resolve, patienceMs);
  });
}
