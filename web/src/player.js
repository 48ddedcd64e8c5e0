// Sound: js-synthesizer runs in a worker (synth-worker.js), fetched once the page is idle
// with a song shown (or on the first Play, if that comes first); each song fetches only the
// pieces of the SoundFont it plays. Play streams the worker's rendered blocks into Web Audio
// at the WAV's level; the WAV and the browser tests take the same blocks offline.

import { peakOf } from './loudness.js';
import { whenPageKept } from './offline.js';
import { SoundError, SoundFailure, SynthMessage } from './protocol/synth.js';
import { SAMPLE_RATE, songFrames } from './song-events.js';
import { underTest } from './test-hooks.js';

const SYNTH_SCRIPTS = [
  // FluidSynth with libsndfile, which the .sf3 SoundFont's compressed samples need.
  new URL('../synth/libfluidsynth-2.4.6-with-libsndfile.js', import.meta.url).href,
  new URL('../synth/js-synthesizer.min.js', import.meta.url).href,
];
const SOUND_FONT_PIECES = new URL('../synth/fonts/index.json', import.meta.url).href;

// The browser tests' hooks, there only when the page's address asks for them (?test): when
// the synthesizer had started, and when the last Play's first sound reached the output, on
// the page's clock (performance.now()); null until then.
const testHooks = underTest() ? (window.pixoraleSoundForTest = { prepared: null, firstSound: null }) : null;

const PLAY_BLOCK_FRAMES = 8192;
const OFFLINE_BLOCK_FRAMES = 65536;
const PLAY_AHEAD_SECONDS = 1.0;
const PUMP_INTERVAL_MS = 100;

// One worker, one SoundFont, one song at a time: a new session ends the last one.
export class SoundEngine {
  // onStatus({phase: 'prepare'}) while the synthesizer starts, when a song waits for it;
  // {phase: 'download', fraction} while a song's pieces of the SoundFont arrive; then
  // {phase: 'ready'}.
  constructor(onStatus) {
    this.onStatus = onStatus;
    this.loading = null;
    this.ready = false;
    this.idle = false;
    this.session = 0;
    this.pending = [];
  }

  // Starts the synthesizer once the page has nothing else to do: Play then waits only for its
  // song's pieces of the SoundFont. On a first visit it waits for the service worker, so that
  // the synthesizer and the pieces are kept for use offline.
  prepareWhenIdle() {
    if (this.loading || this.idle) return;
    const idle = globalThis.requestIdleCallback ?? ((callback) => setTimeout(callback, 200));
    this.idle = true;
    idle(() => whenPageKept().then(() => this.load(false)).catch(() => {}), { timeout: 2000 });
  }

  load(told = true) {
    if (told && !this.ready) this.onStatus({ phase: 'prepare' });
    this.loading ??= new Promise((resolve, reject) => {
      const worker = new Worker(new URL('./synth-worker.js', import.meta.url));
      worker.onmessage = ({ data }) => {
        if (data.type === SynthMessage.PROGRESS) {
          if (data.session !== this.session) return;
          const done = data.loaded >= data.total;
          const fraction = data.loaded / data.total;
          this.onStatus(done ? { phase: 'ready' } : { phase: 'download', fraction });
        } else if (data.type === SynthMessage.LOADED) {
          this.ready = true;
          if (testHooks) testHooks.prepared = performance.now();
          resolve();
        } else if (data.type === SynthMessage.FAILED) {
          this.loading = null;
          worker.terminate();
          reject(new SoundError(SoundFailure.LOAD_FAILED, data.error));
        } else if (data.type === SynthMessage.CHUNK) {
          this.pending.shift()?.(data);
        }
      };
      worker.onerror = (event) => {
        this.loading = null;
        reject(new SoundError(SoundFailure.LOAD_FAILED, event.message || 'the sound worker failed'));
      };
      this.worker = worker;
      worker.postMessage({ type: SynthMessage.LOAD, scripts: SYNTH_SCRIPTS, fonts: SOUND_FONT_PIECES });
    });
    return this.loading;
  }

  // Starts rendering `song` ({notes, programs}) from its beginning, `frames` long; normalised,
  // at the WAV's level (loudness.js), else at FluidSynth's own.
  start(song, frames, normalise) {
    this.session += 1;
    this.worker.postMessage({
      type: SynthMessage.START, session: this.session, notes: song.notes, programs: song.programs,
      frames, normalise,
    });
    return this.session;
  }

  // The next block of the session: {left, right, frame, end}; the worker answers in order.
  async pull(session, frames) {
    const block = await new Promise((resolve) => {
      this.pending.push(resolve);
      this.worker.postMessage({ type: SynthMessage.PULL, session, frames });
    });
    if (block.error) throw new SoundError(SoundFailure.LOAD_FAILED, block.error);
    return block;
  }

  // The first `frames` of the song (all of it with its tail when left out), as two
  // Float32Array, reporting the part done to onProgress; normalised as Play plays it when
  // asked, else at FluidSynth's own level, as the WAV is written from.
  async render(song, { frames = songFrames(song.seconds), onProgress = () => {}, normalise = false } = {}) {
    await this.load();
    const session = this.start(song, frames, normalise);
    const left = new Float32Array(frames);
    const right = new Float32Array(frames);
    for (;;) {
      const block = await this.pull(session, normalise ? PLAY_BLOCK_FRAMES : OFFLINE_BLOCK_FRAMES);
      if (this.session !== session) throw new SoundError(SoundFailure.SUPERSEDED);
      if (block.left) {
        left.set(block.left, block.frame);
        right.set(block.right, block.frame);
      }
      onProgress((block.frame + (block.left?.length ?? 0)) / frames);
      if (block.end) return { left, right };
    }
  }
}

// Play and Stop through Web Audio, blocks scheduled back to back at the song's own rate.
export class Player {
  constructor(engine, { onPlayhead, onEnded }) {
    this.engine = engine;
    this.onPlayhead = onPlayhead;
    this.onEnded = onEnded;
    this.context = null;
    this.run = null;
  }

  get playing() {
    return this.run !== null;
  }

  // Called from the click itself: browsers let sound start only from a user's gesture.
  async play(song) {
    this.stop();
    if (!this.context) {
      if (typeof AudioContext !== 'function') throw new SoundError(SoundFailure.NO_WEB_AUDIO);
      this.context = new AudioContext({ sampleRate: SAMPLE_RATE });
    }
    if (testHooks) testHooks.firstSound = null;
    const run = { song, sources: new Set(), startTime: null, scheduled: 0, end: false };
    this.run = run;
    const resume = this.context.resume();
    await this.engine.load();
    await resume;
    if (this.run !== run) return;
    run.frames = songFrames(song.seconds);
    run.session = this.engine.start(song, run.frames, true);
    this.pump(run);
    this.animate(run);
  }

  stop() {
    const run = this.run;
    if (!run) return;
    this.run = null;
    clearTimeout(run.timer);
    cancelAnimationFrame(run.animation);
    for (const source of run.sources) source.stop();
    run.sources.clear();
  }

  async pump(run) {
    const context = this.context;
    while (this.run === run && !run.end) {
      const ahead = run.startTime === null ? 0 : run.startTime + run.scheduled / SAMPLE_RATE - context.currentTime;
      if (ahead > PLAY_AHEAD_SECONDS) break;
      let block;
      try {
        block = await this.engine.pull(run.session, PLAY_BLOCK_FRAMES);
      } catch (error) {
        if (this.run !== run) return;
        this.stop();
        this.onEnded(error);
        return;
      }
      if (this.run !== run) return;
      run.end = block.end;
      if (!block.left?.length) continue;
      // The first block sets the clock; a block that comes too late (a busy machine)
      // moves it on rather than being cut.
      const at = (run.startTime ?? 0) + block.frame / SAMPLE_RATE;
      if (run.startTime === null || at < context.currentTime + 0.02) {
        run.startTime = context.currentTime + 0.05 - block.frame / SAMPLE_RATE;
      }
      const buffer = context.createBuffer(2, block.left.length, SAMPLE_RATE);
      buffer.copyToChannel(block.left, 0);
      buffer.copyToChannel(block.right, 1);
      const source = context.createBufferSource();
      source.buffer = buffer;
      source.connect(this.context.destination);
      source.onended = () => run.sources.delete(source);
      source.start(run.startTime + block.frame / SAMPLE_RATE);
      run.sources.add(source);
      run.scheduled = block.frame + block.left.length;
      if (testHooks) this.noteFirstSound(run, block);
    }
    if (this.run === run && !run.end) run.timer = setTimeout(() => this.pump(run), PUMP_INTERVAL_MS);
  }

  // For the browser tests: when the run's first sound reaches the output.
  noteFirstSound(run, block) {
    if (run.firstSound !== undefined) return;
    const frame = block.left.findIndex((sample, i) => sample !== 0 || block.right[i] !== 0);
    if (frame < 0) return;
    const at = run.startTime + (block.frame + frame) / SAMPLE_RATE;
    const { contextTime, performanceTime } = this.context.getOutputTimestamp();
    run.firstSound = performanceTime + (at - contextTime) * 1000;
    testHooks.firstSound = run.firstSound;
  }

  animate(run) {
    if (this.run !== run) return;
    if (run.startTime !== null) {
      const seconds = this.context.currentTime - run.startTime;
      if (run.end && seconds >= run.frames / SAMPLE_RATE) {
        this.stop();
        this.onEnded();
        return;
      }
      this.onPlayhead(Math.max(0, Math.min(seconds, run.song.seconds)));
    }
    run.animation = requestAnimationFrame(() => this.animate(run));
  }
}

// Loudness of the first `seconds` of a song as Play plays it, for the browser tests (which
// have no sound card): {peak, rms, frames} over both channels.
export async function measureRender(engine, song, seconds) {
  const frames = Math.max(1, Math.round(seconds * SAMPLE_RATE));
  const { left, right } = await engine.render(song, { frames, normalise: true });
  let sum = 0;
  for (const channel of [left, right]) {
    for (const sample of channel) sum += sample * sample;
  }
  return { peak: peakOf(left, right), rms: Math.sqrt(sum / (2 * frames)), frames };
}
