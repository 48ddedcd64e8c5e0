// What the browser tests reach into the page by, installed only when the address asks for it
// (`?test`): the page as users get it has none of it.

export function underTest() {
  return new URLSearchParams(location.search).has('test');
}

// hooks: {render(seconds), clock()}; see web/README.md.
export function installTestHooks(hooks) {
  if (underTest()) window.pixoraleTest = Object.freeze(hooks);
}
