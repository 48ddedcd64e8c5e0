// Installs the page's service worker (service-worker.js), which keeps the page for use with no
// network. Pages opened from a file or an insecure address have no service workers: they work
// as before, online.
if ('serviceWorker' in navigator && window.isSecureContext) {
  window.addEventListener('load', () => {
    navigator.serviceWorker.register(new URL('../service-worker.js', import.meta.url)).catch(() => {});
  });
}
