// Sound: js-synthesizer and the SoundFont are fetched on the first Play (or WAV) only, and
// run in a worker (synth-worker.js). Play streams the worker's rendered blocks into Web
// Audio; the WAV and the browser tests take the same blocks offline.

import { SoundError, SoundFailure } from './protocol/synth.js';
import { SAMPLE_RATE, songFrames } from './song-events.js';

const SYNTH_SCRIPTS = [
  // FluidSynth with libsndfile, which the .sf3 SoundFont's compressed samples need.
  new URL('../synth/libfluidsynth-2.4.6-with-libsndfile.js', import.meta.url).href,
  new URL('../synth/js-synthesizer.min.js', import.meta.url).href,
];
const SOUND_FONT = new URL('../synth/FluidR3Mono_GM.sf3', import.meta.url).href;

const PLAY_BLOCK_FRAMES = 8192;
const OFFLINE_BLOCK_FRAMES = 65536;
const PLAY_AHEAD_SECONDS = 1.0;
const PUMP_INTERVAL_MS = 100;

// One worker, one SoundFont, one song at a time: a new session ends the last one.
export class SoundEngine {
  // onStatus({phase: 'download', fraction}) while the SoundFont arrives (fraction null when
  // its size is unknown), {phase: 'prepare'} while FluidSynth reads it, then {phase: 'ready'}.
  constructor(onStatus) {
    this.onStatus = onStatus;
    this.loading = null;
    this.session = 0;
    this.pending = [];
  }

  load() {
    this.loading ??= new Promise((resolve, reject) => {
      const worker = new Worker(new URL('./synth-worker.js', import.meta.url));
      worker.onmessage = ({ data }) => {
        if (data.type === 'progress') {
          const fraction = data.total ? data.loaded / data.total : null;
          this.onStatus({ phase: fraction === 1 ? 'prepare' : 'download', fraction });
        } else if (data.type === 'loaded') {
          this.onStatus({ phase: 'ready' });
          resolve();
        } else if (data.type === 'failed') {
          this.loading = null;
          worker.terminate();
          reject(new SoundError(SoundFailure.LOAD_FAILED, data.error));
        } else if (data.type === 'chunk') {
          this.pending.shift()?.(data);
        }
      };
      worker.onerror = (event) => {
        this.loading = null;
        reject(new SoundError(SoundFailure.LOAD_FAILED, event.message || 'the sound worker failed'));
      };
      this.worker = worker;
      this.onStatus({ phase: 'download', fraction: 0 });
      worker.postMessage({ type: 'load', scripts: SYNTH_SCRIPTS, soundFont: SOUND_FONT });
    });
    return this.loading;
  }

  // Starts rendering `song` ({notes, programs}) from its beginning, `frames` long.
  start(song, frames) {
    this.session += 1;
    this.worker.postMessage({
      type: 'start', session: this.session, notes: song.notes, programs: song.programs, frames,
    });
    return this.session;
  }

  // The next block of the session: {left, right, frame, end}; the worker answers in order.
  pull(session, frames) {
    return new Promise((resolve) => {
      this.pending.push(resolve);
      this.worker.postMessage({ type: 'pull', session, frames });
    });
  }

  // The first `frames` of the song (all of it with its tail when left out), as two
  // Float32Array, reporting the part done to onProgress.
  async render(song, { frames = songFrames(song.seconds), onProgress = () => {} } = {}) {
    await this.load();
    const session = this.start(song, frames);
    const left = new Float32Array(frames);
    const right = new Float32Array(frames);
    for (;;) {
      const block = await this.pull(session, OFFLINE_BLOCK_FRAMES);
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

// FluidSynth's own level peaks far below full scale (the WAV is normalised instead): Play
// raises it by PLAY_GAIN_DB, with a limiter so that a loud chord does not clip.
const PLAY_GAIN_DB = 12;

function loudener(context) {
  const gain = new GainNode(context, { gain: 10 ** (PLAY_GAIN_DB / 20) });
  const limiter = new DynamicsCompressorNode(context, {
    threshold: -6, knee: 3, ratio: 20, attack: 0.003, release: 0.2,
  });
  gain.connect(limiter).connect(context.destination);
  return gain;
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
      this.output = loudener(this.context);
    }
    const run = { song, sources: new Set(), startTime: null, scheduled: 0, end: false };
    this.run = run;
    const resume = this.context.resume();
    await this.engine.load();
    await resume;
    if (this.run !== run) return;
    run.frames = songFrames(song.seconds);
    run.session = this.engine.start(song, run.frames);
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
      const block = await this.engine.pull(run.session, PLAY_BLOCK_FRAMES);
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
      source.connect(this.output);
      source.onended = () => run.sources.delete(source);
      source.start(run.startTime + block.frame / SAMPLE_RATE);
      run.sources.add(source);
      run.scheduled = block.frame + block.left.length;
    }
    if (this.run === run && !run.end) run.timer = setTimeout(() => this.pump(run), PUMP_INTERVAL_MS);
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

// Loudness of the first `seconds` of a song as the synthesizer plays it, for the browser
// tests (which have no sound card): {peak, rms, frames} over both channels.
export async function measureRender(engine, song, seconds) {
  const frames = Math.max(1, Math.round(seconds * SAMPLE_RATE));
  const { left, right } = await engine.render(song, { frames });
  let peak = 0;
  let sum = 0;
  for (const channel of [left, right]) {
    for (const sample of channel) {
      peak = Math.max(peak, Math.abs(sample));
      sum += sample * sample;
    }
  }
  return { peak, rms: Math.sqrt(sum / (2 * frames)), frames };
}
