// Plays songs through js-synthesizer (FluidSynth) off the page's thread. A classic worker,
// because FluidSynth's script is no module. The SoundFont comes in pieces (sound-pieces.js):
// a song fetches the pieces of its instruments' keys in the order it first plays them, and
// renders as far as the pieces it has allow, so the first note sounds once its own piece is
// here. Rendering runs ahead of what is asked for, which lets Play's gain be set by the song's
// loudness (loudness.js) before a block is heard. Its messages: protocol/synth.js.

// The messages' names, ready before the first message is handled (a failure to load them
// reaches the page as the worker's error).
const protocol = import('./protocol/synth.js');
let Message = null;

let synth = null;
let modules = null; // {songEvents, soundPieces, loudness}
let index = null;
let indexUrl = null;
let song = null; // the session being rendered

// Rendering runs in slices so that pulls are answered between them.
const RENDER_FRAMES = 4096;
const SLICE_MS = 8;
// How far rendering may run ahead of what was pulled: bounds the memory held (8 bytes a
// frame), and is how far ahead Play's gain sees a louder passage coming.
const MAX_AHEAD_SECONDS = 60;
// A pull is answered once this much beyond it is rendered, so that a louder sample just after
// a block lowers the gain within that block. Pulls are never longer than this.
const LOOKAHEAD_FRAMES = 8192;
// The first block waits a little longer for more of the song, so that its gain is that of
// the song's first seconds, but not past this.
const FIRST_LOOKAHEAD_SECONDS = 10;
const FIRST_WAIT_MS = 150;

// --- SoundFont pieces ------------------------------------------------------------------------

const fonts = new Map(); // file -> sfont id, once loaded
let wakeFetcher = null;

async function load({ scripts, fonts: fontsUrl }) {
  try {
    indexUrl = new URL(fontsUrl, location.href);
    const indexReply = fetch(indexUrl).then((response) => {
      if (!response.ok) throw new Error(`${indexUrl}: HTTP ${response.status}`);
      return response.json();
    });
    indexReply.catch(() => {}); // reported where it is awaited
    importScripts(...scripts);
    const [songEvents, soundPieces, loudness] = await Promise.all([
      import('./song-events.js'), import('./sound-pieces.js'), import('./loudness.js'),
    ]);
    modules = { songEvents, soundPieces, loudness };
    await JSSynth.waitForReady();
    // FluidSynth reports the file functions this build lacks on every load.
    JSSynth.disableLogging();
    synth = new JSSynth.Synthesizer();
    // FluidSynth's own gain, as the converter's WAV renders it.
    synth.init(songEvents.SAMPLE_RATE, {
      initialGain: 0.2, midiChannelCount: soundPieces.MAX_CHANNELS,
    });
    index = await indexReply;
    postMessage({ type: Message.LOADED });
    fetchPieces();
  } catch (error) {
    synth = null;
    postMessage({ type: Message.FAILED, error: String(error?.message ?? error) });
  }
}

// One piece at a time, the current song's first: on a slow line the first note's piece
// arrives soonest when it has the line to itself. A piece that cannot be fetched (offline, and
// never kept) stops the song only where it is needed; the next session tries it again.
async function fetchPieces() {
  for (;;) {
    const next = song?.files?.find(({ file }) => !fonts.has(file) && !song.unfetched.has(file));
    if (!next) {
      await new Promise((resolve) => { wakeFetcher = resolve; });
      continue;
    }
    try {
      const response = await fetch(new URL(next.file, indexUrl));
      if (!response.ok) throw new Error(`HTTP ${response.status}`);
      fonts.set(next.file, await synth.loadSFont(await response.arrayBuffer()));
    } catch (error) {
      song?.unfetched?.set(next.file, `${next.file}: ${error?.message ?? error}`);
      if (song) wake(song);
      continue;
    }
    if (song) {
      selectPresets(song);
      tellProgress(song);
      wake(song);
    }
  }
}

function selectPresets(current) {
  current.pieces.channels.forEach(({ program, file }, channel) => {
    if (fonts.has(file) && !current.selected[channel]) {
      synth.midiProgramSelect(channel, fonts.get(file), 0, program);
      current.selected[channel] = true;
    }
  });
}

function tellProgress(current) {
  const bytes = (files) => files.reduce((sum, file) => sum + file.bytes, 0);
  const loaded = bytes(current.files.filter(({ file }) => fonts.has(file)));
  const total = bytes(current.files);
  postMessage({ type: Message.PROGRESS, session: current.session, loaded, total });
}

// --- Sessions ----------------------------------------------------------------------------------

// Every session starts from silence: what the last one left sounding is cut off.
function start({ session, notes, programs, frames, normalise }) {
  const { songEvents, soundPieces } = modules;
  if (song) wake(song);
  song = {
    session, frames, normalise,
    maxAhead: MAX_AHEAD_SECONDS * songEvents.SAMPLE_RATE,
    firstLookahead: FIRST_LOOKAHEAD_SECONDS * songEvents.SAMPLE_RATE,
    rendered: 0,
    blocks: [], // rendered and not yet pulled: {left, right}
    queued: 0,
    sent: 0,
    peak: 0,
    gain: null,
    pulls: [],
    selected: [],
    unfetched: new Map(), // file -> why it could not be fetched
    startedAt: performance.now(),
    wakeUp: null,
    failed: null,
  };
  try {
    song.pieces = new soundPieces.SongPieces(index, notes, programs, songEvents.SAMPLE_RATE);
  } catch (error) {
    song.failed = String(error.message);
    return;
  }
  song.files = song.pieces.files();
  song.events = new songEvents.SongEvents(notes, songEvents.SAMPLE_RATE, song.pieces.noteChannels);
  synth.midiSystemReset();
  selectPresets(song);
  tellProgress(song);
  wakeFetcher?.();
  renderAhead(song);
}

function wake(current) {
  current.wakeUp?.();
  current.wakeUp = null;
}

// Until a pull, a piece or a new session wakes the session's rendering.
function sleep(current) {
  return new Promise((resolve) => { current.wakeUp = resolve; });
}

// Lets the messages waiting (pulls, a new session) be handled, without the 4 ms a timer
// would wait each time.
const yieldChannel = new MessageChannel();
const yielded = [];
yieldChannel.port1.onmessage = () => yielded.shift()();
function yieldToMessages() {
  return new Promise((resolve) => {
    yielded.push(resolve);
    yieldChannel.port2.postMessage(null);
  });
}

async function renderAhead(current) {
  const { songEvents, loudness } = modules;
  let sliceStart = performance.now();
  while (song === current && current.rendered < current.frames && !current.failed) {
    const missing = current.pieces.firstMissing((file) => fonts.has(file));
    const limit = Math.min(current.frames, current.rendered + RENDER_FRAMES, missing.frame);
    if (limit <= current.rendered && current.unfetched.has(missing.file)) {
      fail(current, current.unfetched.get(missing.file));
      break;
    }
    if (current.queued >= current.maxAhead || limit <= current.rendered) {
      answerPulls(current);
      await sleep(current);
      sliceStart = performance.now();
      continue;
    }
    const count = limit - current.rendered;
    const left = new Float32Array(count);
    const right = new Float32Array(count);
    songEvents.renderFrames(synth, current.events, left, right, current.rendered);
    current.peak = Math.max(current.peak, loudness.peakOf(left, right));
    current.blocks.push({ left, right });
    current.queued += count;
    current.rendered = limit;
    if (performance.now() - sliceStart > SLICE_MS) {
      answerPulls(current);
      await yieldToMessages();
      sliceStart = performance.now();
    }
  }
  if (song === current) answerPulls(current);
}

function fail(current, error) {
  current.failed = String(error?.message ?? error);
  answerPulls(current);
}

function pull({ session, frames }) {
  if (!song || song.session !== session) {
    postMessage({ type: Message.CHUNK, session, left: null, right: null, frame: 0, end: true });
    return;
  }
  song.pulls.push(frames);
  answerPulls(song);
}

// Whether the next pull can be answered: its frames rendered, and enough after them to know
// the gain. The first one also waits for the song's first seconds, unless they wait for a
// piece or take too long, so that its gain is theirs.
function canAnswer(current, frames) {
  if (current.failed || current.rendered >= current.frames) return true;
  const end = Math.min(current.frames, current.sent + frames);
  if (current.rendered < Math.min(current.frames, end + LOOKAHEAD_FRAMES)) return false;
  return current.sent > 0 || current.rendered >= current.firstLookahead ||
    current.pieces.firstMissing((file) => fonts.has(file)).frame <= current.rendered ||
    performance.now() - current.startedAt >= FIRST_WAIT_MS;
}

function answerPulls(current) {
  while (current.pulls.length && canAnswer(current, current.pulls[0])) {
    const frames = current.pulls.shift();
    // A song that cannot go on still plays what was rendered before it stopped.
    const count = Math.min(frames, current.frames - current.sent, current.failed ? current.queued : Infinity);
    if (current.failed && count === 0) {
      const { session, sent: frame, failed: error } = current;
      postMessage({ type: Message.CHUNK, session, left: null, right: null, frame, end: true, error });
      continue;
    }
    const { left, right } = take(current, count);
    if (current.normalise && left.length) {
      const gain = modules.loudness.normalisingGain(current.peak);
      modules.loudness.applyGain([left, right], current.gain ?? gain, gain);
      current.gain = gain;
    }
    const frame = current.sent;
    current.sent += left.length;
    const end = current.sent >= current.frames;
    const chunk = { type: Message.CHUNK, session: current.session, left, right, frame, end };
    postMessage(chunk, [left.buffer, right.buffer]);
  }
  if (current.queued < current.maxAhead) wake(current);
}

// The next `count` rendered frames, out of the blocks held.
function take(current, count) {
  const left = new Float32Array(count);
  const right = new Float32Array(count);
  let done = 0;
  while (done < count) {
    const block = current.blocks[0];
    const part = Math.min(count - done, block.left.length);
    left.set(block.left.subarray(0, part), done);
    right.set(block.right.subarray(0, part), done);
    done += part;
    if (part === block.left.length) current.blocks.shift();
    else current.blocks[0] = { left: block.left.subarray(part), right: block.right.subarray(part) };
  }
  current.queued -= count;
  return { left, right };
}

// Messages are handled in the order they come: each waits for the same names.
onmessage = async ({ data }) => {
  ({ SynthMessage: Message } = await protocol);
  if (data.type === Message.LOAD) load(data);
  else if (data.type === Message.START && synth) start(data);
  else if (data.type === Message.PULL) pull(data);
};
