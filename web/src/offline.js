// Installs the page's service worker (service-worker.js), which keeps the page for use with no
// network. Pages opened from a file or an insecure address have no service workers: they work
// as before, online.

const supported = 'serviceWorker' in navigator && window.isSecureContext;

if (supported) {
  window.addEventListener('load', () => {
    navigator.serviceWorker.register(new URL('../service-worker.js', import.meta.url)).catch(() => {});
  });
}

// Resolves once the service worker has taken the page over, so that a worker started then has
// what it fetches kept as well (a worker started before stays outside it for good); at once
// where there is none, and after `patienceMs` at the most.
export function whenPageKept(patienceMs = 5000) {
  if (!supported || navigator.serviceWorker.controller) return Promise.resolve();
  return new Promise((resolve) => {
    navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true });
    setTimeout(resolve, patienceMs);
  });
}
