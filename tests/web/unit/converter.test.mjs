// The page's side of the conversion worker with stand-in workers: every request ends, a
// superseded conversion is dropped or stopped with its worker, a grown or broken worker is
// replaced.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { Converter } from '../../../web/src/converter.js';
import {
  Message, WorkerFailure, failedReply, failure, readyReply,
} from '../../../web/src/protocol/conversion.js';

class StandInWorker {
  constructor() {
    this.sent = [];
    this.terminated = false;
  }

  postMessage(message) {
    this.sent.push(message);
  }

  terminate() {
    this.terminated = true;
  }

  tell(message) {
    this.onmessage({ data: message });
  }

  converted(id, memory = 1) {
    this.tell({ type: Message.CONVERTED, id, name: 'a.mid', memory });
  }
}

function converterWithStandIns(options = {}) {
  const workers = [];
  const converter = new Converter({
    createWorker: () => {
      workers.push(new StandInWorker());
      return workers.at(-1);
    },
    ...options,
  });
  return { converter, workers };
}

// 'resolved', the failure's kind, or 'pending' once everything queued has run.
function outcome(promise) {
  return Promise.race([
    promise.then(() => 'resolved', (error) => error.kind),
    new Promise((resolve) => setImmediate(() => resolve('pending'))),
  ]);
}

const picture = { name: 'a.png' };

test('of many quick changes, the one running stops with its worker and only the last runs next', async () => {
  const { converter, workers } = converterWithStandIns();
  workers[0].tell(readyReply());
  const changes = [];
  let controller = null;
  for (let i = 0; i < 40; i++) {
    controller?.abort();
    controller = new AbortController();
    changes.push(converter.convert(picture, ['--tempo', String(i + 1)], { signal: controller.signal }));
  }
  const outcomes = await Promise.all(changes.map(outcome));
  assert.deepEqual(outcomes.slice(0, -1), Array(39).fill(WorkerFailure.CANCELLED));
  assert.equal(outcomes.at(-1), 'pending');
  assert.equal(workers[0].terminated, true, 'the worker running a superseded conversion stops');
  assert.equal(workers.length, 2);
  workers[1].tell(readyReply());
  assert.deepEqual(workers[1].sent.map((m) => m.options), [['--tempo', '40']]);
  workers[1].converted(workers[1].sent[0].id);
  assert.equal(await outcome(changes.at(-1)), 'resolved');
});

test('every request ends, whatever becomes of the worker', async (t) => {
  const cases = [
    {
      what: 'a core that could not load again answers, and the next request gets a fresh worker',
      happen: (worker, id) => worker.tell(failedReply(id, failure(WorkerFailure.CORE_UNAVAILABLE))),
      first: WorkerFailure.CORE_UNAVAILABLE, replaced: true,
    },
    {
      what: 'a worker that stops refuses the request it ran; the queued one goes on afresh',
      happen: (worker) => worker.onerror({ message: 'stopped' }),
      first: WorkerFailure.CORE_FAILURE, replaced: true,
    },
    {
      what: 'a core grown large is replaced once it has answered',
      happen: (worker, id) => worker.converted(id, 600 * 1024 * 1024),
      first: 'resolved', replaced: true,
    },
    {
      what: 'an unreadable picture is told by its kind; the worker goes on',
      happen: (worker, id) => worker.tell(failedReply(id, failure(WorkerFailure.UNREADABLE_PICTURE, 'a.png'))),
      first: WorkerFailure.UNREADABLE_PICTURE, replaced: false,
    },
  ];
  for (const { what, happen, first, replaced } of cases) {
    await t.test(what, async () => {
      const { converter, workers } = converterWithStandIns();
      workers[0].tell(readyReply());
      const one = converter.convert(picture, ['--seed', '1']);
      const two = converter.convert(picture, ['--seed', '2']);
      happen(workers[0], workers[0].sent[0].id);
      assert.equal(await outcome(one), first);
      assert.equal(workers[0].terminated, replaced);
      const worker = workers.at(-1);
      assert.equal(workers.length, replaced ? 2 : 1);
      if (replaced) worker.tell(readyReply());
      const request = worker.sent.at(-1);
      assert.deepEqual(request.options, ['--seed', '2']);
      worker.converted(request.id);
      assert.equal(await outcome(two), 'resolved');
    });
  }
});

test('a worker whose core never loads refuses what waits for it, and the next request tries anew', async () => {
  const { converter, workers } = converterWithStandIns();
  const waiting = converter.convert(picture, []);
  workers[0].tell(failedReply(null, failure(WorkerFailure.CORE_UNAVAILABLE, '', 'no wasm')));
  assert.equal(await outcome(converter.ready), WorkerFailure.CORE_UNAVAILABLE);
  assert.equal(await outcome(waiting), WorkerFailure.CORE_UNAVAILABLE);
  assert.equal(workers.length, 1, 'no new worker until asked');
  const later = converter.convert(picture, []);
  assert.equal(workers.length, 2);
  workers[1].tell(readyReply());
  workers[1].converted(workers[1].sent[0].id);
  assert.equal(await outcome(later), 'resolved');
});
