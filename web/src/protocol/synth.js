// The synthesizer worker's messages (synth-worker.js, a classic worker: it loads this module
// with import()), and the kinds of failure the page's sound tells.

export const SynthMessage = Object.freeze({
  LOAD: 'load', // page -> worker: {type, scripts, soundFont}
  START: 'start', // page -> worker: {type, session, notes, programs, frames}; ends the last session
  PULL: 'pull', // page -> worker: {type, session, frames}
  PROGRESS: 'progress', // worker -> page: {type, loaded, total} while the SoundFont arrives
  LOADED: 'loaded', // worker -> page: {type}
  FAILED: 'failed', // worker -> page: {type, error}
  CHUNK: 'chunk', // worker -> page: {type, session, left, right, frame, end}, one per pull
});

export const SoundFailure = Object.freeze({
  NO_WEB_AUDIO: 'no-web-audio', // the browser cannot play sound
  LOAD_FAILED: 'sound-load-failed', // the synthesizer or the SoundFont did not load
  SUPERSEDED: 'superseded', // a newer song or render took the synthesizer
});

// An error of the page's sound, told by its kind.
export class SoundError extends Error {
  constructor(kind, reason = '') {
    super(reason || kind);
    this.name = 'SoundError';
    this.kind = kind;
    this.reason = reason;
  }
}
