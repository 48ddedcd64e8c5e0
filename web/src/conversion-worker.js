// The conversion worker: owns the WebAssembly core and converts one picture at a time, so that
// the page stays responsive however large the picture. Its messages are those of
// protocol/conversion.js; every request is answered, a failure by its kind.
import createPixoraleCore from '../core/pixorale-core.js';
import {
  Message, WorkerFailure, convertedReply, failedReply, failure, readyReply, wavReply,
} from './protocol/conversion.js';

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

// The browser refuses to read a file that changed, moved or went since it was chosen.
function readFile(file) {
  try {
    return new Uint8Array(new FileReaderSync().readAsArrayBuffer(file));
  } catch (error) {
    throw Object.assign(error, { beforeCore: true });
  }
}

function keptPicture(core, file, name) {
  const key = `${name}\n${file.size}\n${file.lastModified}`;
  if (kept?.key !== key) {
    if (kept) core.FS.unlink(kept.path);
    kept = null;
    const path = `${keptFolder}/${name}`;
    core.FS.writeFile(path, readFile(file));
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
  if (!result.ok) return { message: failedReply(id, result.failure) };
  return convertedReply(id, { ...result, midi: result.midi.buffer }, core.memoryBytes());
}

function makeWav(core, { id, left, right }) {
  return wavReply(id, core.normalisedWav(left, right).buffer, core.memoryBytes());
}

const handlers = { [Message.CONVERT]: convert, [Message.WAV]: makeWav };

const unreadable = new Set(['NotReadableError', 'NotFoundError', 'NotAllowedError', 'SecurityError']);
const lineOf = (error) => (error instanceof Error ? `${error.name}: ${error.message}` : String(error));

// What an exception out of a request means. The core reports its own failures; what escapes
// it is an allocation it could not make (a C++ exception, or an array too large for the
// browser), a file the browser would no longer read, or a fault.
function failureOf(error, { file }) {
  const subject = file?.name ?? '';
  if (unreadable.has(error?.name)) return failure(WorkerFailure.UNREADABLE_PICTURE, subject, lineOf(error));
  if (error instanceof RangeError || !(error instanceof Error)) {
    return failure(WorkerFailure.OUT_OF_MEMORY, subject, lineOf(error));
  }
  return failure(WorkerFailure.CORE_FAILURE, subject, lineOf(error));
}

const unavailable = (id, error) => failedReply(id, failure(WorkerFailure.CORE_UNAVAILABLE, '', lineOf(error)));

let coreReady = loadCore().then(warmUp);

// The core, loading it again (once per request) when the last load failed.
async function currentCore() {
  try {
    return await coreReady;
  } catch {
    coreReady = loadCore();
    return coreReady;
  }
}

async function answer(data) {
  let core;
  try {
    core = await currentCore();
  } catch (error) {
    coreReady.catch(() => {});
    return { message: unavailable(data.id, error) };
  }
  try {
    return handlers[data.type](core, data);
  } catch (error) {
    console.error(error);
    // A core left by an exception may hold anything: a fresh one serves the next request.
    if (!error?.beforeCore) {
      coreReady = loadCore();
      coreReady.catch(() => {});
    }
    return { message: failedReply(data.id, failureOf(error, data)) };
  }
}

// Requests are answered in order, each after the one before.
let queue = Promise.resolve();
self.onmessage = ({ data }) => {
  if (!(data.type in handlers)) return;
  queue = queue.then(async () => {
    const { message, transfer = [] } = await answer(data);
    self.postMessage(message, transfer);
  });
};

coreReady.then(
  () => self.postMessage(readyReply()),
  (error) => self.postMessage(unavailable(null, error)),
);
