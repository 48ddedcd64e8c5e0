// Plays songs through js-synthesizer (FluidSynth) off the page's thread: loading the
// SoundFont takes seconds, and rendering a song a while. A classic worker, because
// FluidSynth's script is no module.
//
// page -> worker: {type: 'load', scripts, soundFont}, {type: 'start', session, notes,
//   programs, frames}, {type: 'pull', session, frames}
// worker -> page: {type: 'progress', loaded, total}, {type: 'loaded'},
//   {type: 'failed', error}, {type: 'chunk', session, left, right, frame, end}

let synth = null;
let songEvents = null; // the module song-events.js
let events = null;
let song = null;

async function fetchWithProgress(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: HTTP ${response.status}`);
  const total = Number(response.headers.get('Content-Length')) || 0;
  const reader = response.body.getReader();
  const parts = [];
  let loaded = 0;
  let told = -1;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    parts.push(value);
    loaded += value.length;
    const percent = total ? Math.floor((100 * loaded) / total) : -1;
    if (percent !== told) {
      told = percent;
      postMessage({ type: 'progress', loaded, total });
    }
  }
  const bytes = new Uint8Array(loaded);
  let at = 0;
  for (const part of parts) {
    bytes.set(part, at);
    at += part.length;
  }
  return bytes.buffer;
}

async function load({ scripts, soundFont }) {
  try {
    const soundFontBytes = fetchWithProgress(soundFont);
    soundFontBytes.catch(() => {}); // reported where it is awaited
    importScripts(...scripts);
    songEvents = await import('./song-events.js');
    await JSSynth.waitForReady();
    // FluidSynth reports the file functions this build lacks on every load.
    JSSynth.disableLogging();
    synth = new JSSynth.Synthesizer();
    // FluidSynth's own gain, as the converter's WAV renders it.
    synth.init(songEvents.SAMPLE_RATE, { initialGain: 0.2 });
    await synth.loadSFont(await soundFontBytes);
    postMessage({ type: 'loaded' });
  } catch (error) {
    synth = null;
    postMessage({ type: 'failed', error: String(error?.message ?? error) });
  }
}

// Every session starts from silence: what the last one left sounding is cut off.
function start({ session, notes, programs, frames }) {
  synth.midiSystemReset();
  programs.forEach((program, channel) => synth.midiProgramChange(channel, program));
  events = new songEvents.SongEvents(notes, songEvents.SAMPLE_RATE);
  song = { session, frames, rendered: 0 };
}

function pull({ session, frames }) {
  if (!song || song.session !== session) {
    postMessage({ type: 'chunk', session, left: null, right: null, frame: 0, end: true });
    return;
  }
  const count = Math.max(0, Math.min(frames, song.frames - song.rendered));
  const left = new Float32Array(count);
  const right = new Float32Array(count);
  songEvents.renderFrames(synth, events, left, right, song.rendered);
  const frame = song.rendered;
  song.rendered += count;
  const end = song.rendered >= song.frames;
  postMessage({ type: 'chunk', session, left, right, frame, end }, [left.buffer, right.buffer]);
}

onmessage = ({ data }) => {
  if (data.type === 'load') load(data);
  else if (data.type === 'start' && synth) start(data);
  else if (data.type === 'pull') pull(data);
};
