// The conversion worker's messages, defined once for both its sides: the page (converter.js)
// sends requests, the worker (conversion-worker.js) answers each with a reply carrying the
// request's id. The page sends one request at a time, so that one it no longer waits for can
// be dropped before it starts, or stopped with the worker that runs it.

export const Message = Object.freeze({
  READY: 'ready', // worker -> page, once the core has loaded: {type}
  CONVERT: 'convert', // page -> worker: {type, id, file, options} (option tokens, no input)
  // worker -> page: {type, id, name, midi, summary, notes, picture, warnings, memory}
  CONVERTED: 'converted',
  WAV: 'wav', // page -> worker: {type, id, left, right} (Float32Array at 44100 Hz, handed over)
  WAV_MADE: 'wav-made', // worker -> page: {type, id, wav, memory}
  FAILED: 'failed', // worker -> page: {type, id, failure}; id null for a core that cannot load
});

// A failure is {kind, subject, text}: the kind a stable word the page words in its own
// language, the subject what it is about (a picture's name, an option), the text the
// converter's or the browser's own line in English. The core names the kinds of its
// conversions' failures and warnings (facts.js lists them); these are the worker's own.
export const WorkerFailure = Object.freeze({
  OUT_OF_MEMORY: 'out-of-memory',
  UNREADABLE_PICTURE: 'unreadable-picture', // changed, moved or deleted since it was chosen
  CORE_FAILURE: 'core-failure', // the core stopped for another reason
  CORE_UNAVAILABLE: 'core-unavailable', // the core could not be loaded
  CANCELLED: 'cancelled', // a newer request took its place before it was answered
});

export function failure(kind, subject = '', text = '') {
  return { kind, subject, text };
}

// The page's side of a failed request.
export class ConversionFailure extends Error {
  constructor({ kind, subject = '', text = '' }) {
    super(text || kind);
    this.name = 'ConversionFailure';
    this.kind = kind;
    this.subject = subject;
    this.text = text;
  }

  get failure() {
    return failure(this.kind, this.subject, this.text);
  }
}

export const convertRequest = (id, file, options) => ({ type: Message.CONVERT, id, file, options });
export const wavRequest = (id, left, right) => ({ type: Message.WAV, id, left, right });

// The worker's replies, each with the buffers it hands over.
export const readyReply = () => ({ type: Message.READY });
export const failedReply = (id, problem) => ({ type: Message.FAILED, id, failure: problem });
export function convertedReply(id, { name, midi, summary, notes, picture, warnings }, memory) {
  return {
    message: { type: Message.CONVERTED, id, name, midi, summary, notes, picture, warnings, memory },
    transfer: [midi, notes.buffer],
  };
}
export function wavReply(id, wav, memory) {
  return { message: { type: Message.WAV_MADE, id, wav, memory }, transfer: [wav] };
}

// What a request's reply resolves to on the page, or the failure it is refused with.
export function outcomeOf(reply) {
  if (reply.type === Message.FAILED) return { failure: reply.failure };
  const { type, id, ...result } = reply;
  return { result };
}
