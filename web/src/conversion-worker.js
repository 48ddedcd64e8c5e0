// The conversion worker: owns the WebAssembly core and converts one picture at a time, so that
// the page stays responsive however large the picture. Messages are described in
// web/README.md.
import createPixoraleCore from '../core/pixorale-core.js';

const coreFolder = new URL('../core/', import.meta.url);
const pictureFolder = '/picture';

async function loadCore() {
  const core = await createPixoraleCore({ locateFile: (name) => new URL(name, coreFolder).href });
  core.FS.mkdir(pictureFolder);
  core.FS.mkdir(keptFolder);
  kept = null;
  return core;
}

// The browser first runs the core's code through a quick compiler and replaces what runs often
// with optimised code as it goes. Converting a made-up picture while the user chooses one lets
// the first real conversion run nearer full speed.
function warmUp(core) {
  const width = 100000;
  const bmp = new Uint8Array(54 + 2 * width * 3);
  const header = new DataView(bmp.buffer);
  bmp.set([0x42, 0x4d]);
  header.setUint32(2, bmp.length, true);
  header.setUint32(10, 54, true);
  header.setUint32(14, 40, true);
  header.setInt32(18, width, true);
  header.setInt32(22, 2, true);
  header.setUint16(26, 1, true);
  header.setUint16(28, 24, true);
  for (let i = 54; i < bmp.length; ++i) bmp[i] = (i * 7919) & 0xff;
  const path = '/warm-up.bmp';
  core.FS.writeFile(path, bmp);
  core.convert(path, 'warm-up.bmp', ['--no-settings', '--seed', '1', '--chords']);
  core.FS.unlink(path);
  return core;
}

// A name the file system can hold: the page's name without folders, never empty.
function pictureName(file) {
  const name = (file.name || '').replaceAll('/', '_');
  return name === '' || name === '.' || name === '..' ? 'picture' : name;
}

// Changing a setting converts the same picture again: a picture of up to this size is read
// into the worker once and kept until another one comes. A larger one is mounted, not copied:
// the core reads it in pieces, as the converter reads a file, so memory does not grow with
// the picture's height.
const keptLimit = 64 * 1024 * 1024;
const keptFolder = '/kept';
let kept = null; // {key, path}

function keptPicture(core, file, name) {
  const key = `${name}\n${file.size}\n${file.lastModified}`;
  if (kept?.key !== key) {
    if (kept) core.FS.unlink(kept.path);
    kept = null;
    const path = `${keptFolder}/${name}`;
    core.FS.writeFile(path, new Uint8Array(new FileReaderSync().readAsArrayBuffer(file)));
    kept = { key, path };
  }
  return kept.path;
}

function convertPicture(core, file, options) {
  const name = pictureName(file);
  if (file.size <= keptLimit) return core.convert(keptPicture(core, file, name), file.name, options);
  core.FS.mount(core.FS.filesystems.WORKERFS, { blobs: [{ name, data: file }] }, pictureFolder);
  try {
    return core.convert(`${pictureFolder}/${name}`, file.name, options);
  } finally {
    core.FS.unmount(pictureFolder);
  }
}

function convert(core, { id, file, options }) {
  const result = convertPicture(core, file, options);
  const { ok, failure, warnings } = result;
  if (!ok) {
    self.postMessage({ type: 'converted', id, ok, failure, warnings });
    return;
  }
  const midi = result.midi.buffer;
  const notes = result.notes;
  self.postMessage(
    { type: 'converted', id, ok, name: result.name, midi, summary: result.summary, notes, warnings },
    [midi, notes.buffer],
  );
}

function makeWav(core, { id, left, right }) {
  const wav = core.normalisedWav(left, right).buffer;
  self.postMessage({ type: 'wav', id, ok: true, wav }, [wav]);
}

let coreReady = loadCore().then(warmUp);

self.onmessage = async ({ data }) => {
  const core = await coreReady;
  try {
    if (data.type === 'convert') convert(core, data);
    else if (data.type === 'wav') makeWav(core, data);
  } catch (error) {
    // The core fails as a whole only when it runs out of memory (a trap, or an allocation it
    // could not make); a fresh module serves the next request.
    console.error(error);
    const type = data.type === 'wav' ? 'wav' : 'converted';
    self.postMessage({ type, id: data.id, ok: false, error: 'not enough memory', warnings: [] });
    coreReady = loadCore();
  }
};

// A core that cannot load is the worker's error, which the page sees and reports.
coreReady.then(
  () => self.postMessage({ type: 'ready' }),
  (error) => setTimeout(() => {
    throw error;
  }),
);
