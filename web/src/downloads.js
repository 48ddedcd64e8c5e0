// Files the page offers: blob URLs of bytes made in the page, freed when replaced.

export function replaceExtension(name, extension) {
  const dot = name.lastIndexOf('.');
  return `${dot > 0 ? name.slice(0, dot) : name}${extension}`;
}

// The .mid link: `href` the exact bytes of the worker, `download` their name.
export class DownloadLink {
  constructor(anchor, type) {
    this.anchor = anchor;
    this.type = type;
    this.url = null;
    this.clear();
  }

  set(bytes, name) {
    this.clear();
    this.url = URL.createObjectURL(new Blob([bytes], { type: this.type }));
    this.name = name;
    this.enable();
  }

  // A link without an address is no link: neither clicked nor reached with the keyboard.
  enable() {
    if (!this.url) return;
    this.anchor.href = this.url;
    this.anchor.download = this.name;
    this.anchor.removeAttribute('aria-disabled');
  }

  disable() {
    this.anchor.removeAttribute('href');
    this.anchor.removeAttribute('download');
    this.anchor.setAttribute('aria-disabled', 'true');
  }

  clear() {
    if (this.url) URL.revokeObjectURL(this.url);
    this.url = null;
    this.disable();
  }
}

// Asks the browser to save a blob URL under `name`.
export function saveUrl(url, name) {
  const anchor = document.createElement('a');
  anchor.href = url;
  anchor.download = name;
  anchor.hidden = true;
  document.body.append(anchor);
  anchor.click();
  anchor.remove();
}
