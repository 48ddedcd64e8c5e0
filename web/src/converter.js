// The page's side of the conversion worker (conversion-worker.js), in the messages of
// protocol/conversion.js. Requests go to the worker one at a time. A conversion nobody waits
// for any more (its AbortSignal fired) is dropped before it starts, or stopped with the worker
// that runs it; a worker that stops, or whose memory grew large (WebAssembly memory never
// shrinks), is replaced by a fresh one. Every request ends: answered, or refused by a kind.

import {
  ConversionFailure, Message, WorkerFailure, convertRequest, failure, outcomeOf, wavRequest,
} from './protocol/conversion.js';

const WORKER_URL = new URL('./conversion-worker.js', import.meta.url);

// A core that holds more than this after a request is replaced once it has answered (about
// three million notes' worth; a fresh core is ready in a few tenths of a second).
export const RETIRE_BYTES = 256 * 1024 * 1024;

const cancelled = () => new ConversionFailure(failure(WorkerFailure.CANCELLED));

export class Converter {
  constructor({
    createWorker = () => new Worker(WORKER_URL, { type: 'module' }), retireBytes = RETIRE_BYTES,
  } = {}) {
    this.createWorker = createWorker;
    this.retireBytes = retireBytes;
    this.nextId = 0;
    this.queue = [];
    this.running = null; // the request in the worker: {id, message, transfer, resolve, reject}
    this.start();
    // The first worker's start, for the page to say when the converter is ready.
    this.ready = this.workerReady;
  }

  start() {
    const worker = this.createWorker();
    this.worker = worker;
    this.readyWorker = null;
    this.workerReady = new Promise((resolve, reject) => {
      worker.onmessage = ({ data }) => {
        if (data.type === Message.READY) {
          this.readyWorker = worker;
          resolve();
          this.next();
        } else if (data.id === null) {
          reject(new ConversionFailure(data.failure));
          this.fail(worker, data.failure);
        } else {
          this.answer(worker, data);
        }
      };
      worker.onerror = (event) => {
        event.preventDefault?.();
        const problem = failure(WorkerFailure.CORE_FAILURE, '',
          event.message || 'the conversion worker stopped');
        reject(new ConversionFailure(problem));
        this.fail(worker, problem);
      };
    });
    this.workerReady.catch(() => {});
  }

  drop(worker) {
    worker.terminate();
    if (this.worker !== worker) return;
    this.worker = null;
    this.readyWorker = null;
  }

  // A worker that stopped refuses the request it ran; one that never started also those
  // waiting for it. The next request starts a new worker.
  fail(worker, problem) {
    if (this.worker !== worker) return;
    const started = this.readyWorker === worker;
    this.drop(worker);
    const refused = [this.running, ...(started ? [] : this.queue.splice(0))];
    this.running = null;
    for (const request of refused) request?.reject(new ConversionFailure(problem));
    this.next();
  }

  answer(worker, reply) {
    const running = this.running;
    if (worker !== this.worker || running?.id !== reply.id) return;
    this.running = null;
    const { result, failure: problem } = outcomeOf(reply);
    if (problem) running.reject(new ConversionFailure(problem));
    else running.resolve(result);
    if (problem?.kind === WorkerFailure.CORE_UNAVAILABLE) {
      this.drop(worker);
    } else if (reply.memory > this.retireBytes) {
      this.drop(worker);
      this.start(); // while the page shows the answer
    }
    this.next();
  }

  // Sends the next request that is still wanted, once a worker is ready for it.
  next() {
    if (this.running || this.queue.length === 0) return;
    if (!this.worker) this.start();
    if (this.readyWorker !== this.worker) return; // its `ready` comes back here
    this.running = this.queue.shift();
    this.worker.postMessage(this.running.message, this.running.transfer);
  }

  request(message, transfer, signal) {
    if (signal?.aborted) return Promise.reject(cancelled());
    const id = ++this.nextId;
    return new Promise((resolve, reject) => {
      const request = { id, message: { ...message, id }, transfer, resolve, reject };
      this.queue.push(request);
      signal?.addEventListener('abort', () => this.cancel(request), { once: true });
      this.next();
    });
  }

  cancel(request) {
    const waiting = this.queue.indexOf(request);
    if (waiting >= 0) {
      this.queue.splice(waiting, 1);
      request.reject(cancelled());
    } else if (this.running === request) {
      // Its answer is wanted by nobody: the worker stops with it, and a fresh one goes on.
      this.running = null;
      request.reject(cancelled());
      this.drop(this.worker);
      this.next();
    }
  }

  // The worker's answer {name, midi, summary, notes, picture, warnings, memory}; a failure rejects with
  // a ConversionFailure. A signal that fires cancels it (kind `cancelled`).
  convert(file, options, { signal } = {}) {
    return this.request(convertRequest(null, file, options), [], signal);
  }

  // The WAV file the converter makes of these samples (44.1 kHz stereo); they are handed over.
  async makeWav(left, right) {
    const { wav } = await this.request(wavRequest(null, left, right), [left.buffer, right.buffer]);
    return wav;
  }
}
