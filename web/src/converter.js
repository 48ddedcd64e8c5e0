// The page's side of the conversion worker (conversion-worker.js): one request at a time
// per id, answered in the worker's own messages. A worker that dies is started afresh for
// the next request, so one bad picture never stops the page.

const WORKER_URL = new URL('./conversion-worker.js', import.meta.url);

export class Converter {
  constructor() {
    this.nextId = 0;
    this.pending = new Map();
    this.start();
  }

  start() {
    const worker = new Worker(WORKER_URL, { type: 'module' });
    this.worker = worker;
    this.ready = new Promise((resolve, reject) => {
      worker.onmessage = ({ data }) => {
        if (data.type === 'ready') {
          resolve();
          return;
        }
        const request = this.pending.get(data.id);
        if (!request) return;
        this.pending.delete(data.id);
        request.resolve(data);
      };
      worker.onerror = (event) => {
        event.preventDefault();
        const error = new Error(event.message || 'the conversion worker stopped');
        reject(error);
        this.fail(worker, error);
      };
    });
    this.ready.catch(() => {});
  }

  // Every request of a worker that failed is refused, and the next one starts a new worker.
  fail(worker, error) {
    if (this.worker !== worker) return;
    worker.terminate();
    this.worker = null;
    for (const request of this.pending.values()) request.reject(error);
    this.pending.clear();
  }

  async request(message, transfer = []) {
    if (!this.worker) this.start();
    const worker = this.worker;
    await this.ready;
    const id = ++this.nextId;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject });
      worker.postMessage({ ...message, id }, transfer);
    });
  }

  // The worker's answer: {ok: true, midi, name, summary, notes, warnings} or {ok: false, error}.
  convert(file, options) {
    return this.request({ type: 'convert', file, options });
  }

  // The WAV file the converter makes of these samples (44.1 kHz stereo); they are handed over.
  async makeWav(left, right) {
    const reply = await this.request({ type: 'wav', left, right }, [left.buffer, right.buffer]);
    if (reply.ok === false) throw new Error(reply.error);
    return reply.wav;
  }
}
