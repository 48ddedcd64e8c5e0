// The synthesizer worker's messages (synth-worker.js, a classic worker: it loads this module
// with import()), and the kinds of failure the page's sound tells.

export const SynthMessage = Object.freeze({
  LOAD: 'load', // page -> worker: {type, scripts, fonts} (fonts: the SoundFont pieces' index.json)
  // page -> worker: {type, session, notes, programs, frames, normalise}; ends the last session;
  // normalise: at the WAV's level, as Play plays
  START: 'start',
  PULL: 'pull', // page -> worker: {type, session, frames}
  // worker -> page: {type, session, loaded, total}, the bytes of the session's SoundFont pieces
  PROGRESS: 'progress',
  LOADED: 'loaded', // worker -> page: {type}
  FAILED: 'failed', // worker -> page: {type, error}
  // worker -> page: {type, session, left, right, frame, end, error}, one per pull, in order;
  // error, with end, when a piece the song needs could not be fetched
  CHUNK: 'chunk',
});

export const SoundFailure = Object.freeze({
  NO_WEB_AUDIO: 'no-web-audio', // the browser cannot play sound
  LOAD_FAILED: 'sound-load-failed', // the synthesizer or a piece of the SoundFont did not load
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
