// The page's wiring: a picture and the settings go to the conversion worker; its answer is
// shown as the summary, the piano roll, the downloads and the command line that does the same.

import { Converter } from './converter.js';
import {
  FIELD_IDS, buildControls, controlOfOption, enableDependentControls, fieldOfControl,
  labelControls, readControls, settleRivals, writeControls,
} from './controls.js';
import { DownloadLink, replaceExtension, saveUrl } from './downloads.js';
import { formatDuration, noteName } from './format.js';
import { Player, SoundEngine, measureRender } from './player.js';
import { PianoRoll } from './roll.js';
import {
  PAGE_OPTIONS, PRESETS, canonical, commandLine, fieldIds, matchingPreset, optionNamed, optionTokens,
  presetValues, randomSeed,
} from './settings.js';
import { TAIL_SECONDS } from './song-events.js';
import { DEFAULT_LANGUAGE, LANGUAGES, applyTexts, text, valueProblemText } from './texts.js';

const $ = (id) => document.getElementById(id);
const LANGUAGE_KEY = 'pixorale.language';
// The WAV is made in memory: 8 bytes a frame while rendering, 4 in the file.
const MAX_WAV_MINUTES = 30;

const page = {
  language: DEFAULT_LANGUAGE,
  picture: null,
  request: 0,
  current: null, // the song shown: {reply, seed, name, song, wavUrl}
  error: null, // {key, params} or {failure}: the converter's, by kind
  status: null, // {key, params}
  wavBusy: false,
};

const t = (key, params) => text(page.language, key, params);
const setState = (state) => { document.body.dataset.state = state; };

// --- Messages ---------------------------------------------------------------------------

// The converter's failures by kind, in the page's words.
const FAILURE_TEXTS = {
  'option-conflict': 'failureOptionConflict',
  'unsupported-picture': 'failureUnsupportedPicture',
  'not-true-colour': 'failureNotTrueColour',
  'damaged-picture': 'failureDamagedPicture',
  'picture-too-large': 'failurePictureTooLarge',
  'unreadable-picture': 'failureUnreadablePicture',
  'out-of-memory': 'failureOutOfMemory',
};

function failureText({ kind, subject, text: detail }) {
  const option = optionNamed(subject);
  if (kind === 'option-value' && option?.label) return valueProblemText(page.language, option);
  return t(FAILURE_TEXTS[kind] ?? 'failureOther', { detail });
}

function renderError() {
  const { error } = page;
  $('error').textContent = !error ? ''
    : error.failure ? failureText(error.failure) : t(error.key, error.params);
  if (error?.failure) $('error').dataset.kind = error.failure.kind;
  else delete $('error').dataset.kind;
}

function showError(key, params) {
  page.error = { key, params };
  renderError();
}

function clearError() {
  page.error = null;
  for (const id of FIELD_IDS) $(id).removeAttribute('aria-invalid');
  renderError();
}

// progress: a part done from 0 to 1, null for "busy", undefined for no bar.
function setStatus(status, progress) {
  page.status = status;
  const bar = $('progress');
  bar.hidden = progress === undefined;
  if (progress === null) bar.removeAttribute('value');
  else if (progress !== undefined) bar.value = progress;
  renderStatus();
}

function renderStatus() {
  $('status').textContent = page.status ? t(page.status.key, page.status.params) : '';
}

function onSoundStatus({ phase, fraction }) {
  if (phase === 'ready') setStatus(null);
  else if (phase === 'prepare') setStatus({ key: 'soundPrepare' }, null);
  else if (fraction === null) setStatus({ key: 'soundDownloadUnknown' }, null);
  else setStatus({ key: 'soundDownload', params: { percent: Math.floor(fraction * 100) } }, fraction);
}

function soundError(error) {
  if (error.message === 'no Web Audio') showError('noAudio');
  else showError('soundFailed', { detail: error.message });
}

// --- Result -------------------------------------------------------------------------------

const converter = new Converter();
const engine = new SoundEngine(onSoundStatus);
const roll = new PianoRoll($('roll-scroller'), $('roll-track'), $('roll'));
const midiLink = new DownloadLink($('download-mid'), 'audio/midi');
const player = new Player(engine, {
  onPlayhead: (seconds) => roll.setPlayhead(seconds),
  onEnded: () => renderPlaying(false),
});

function renderPlaying(playing) {
  const button = $('play');
  button.textContent = t(playing ? 'stop' : 'play');
  button.dataset.text = playing ? 'stop' : 'play';
  button.setAttribute('aria-pressed', String(playing));
  if (!playing) roll.setPlayhead(null);
}

function renderSummary() {
  const summary = $('summary');
  const current = page.current;
  $('roll-empty').hidden = current !== null;
  if (!current) {
    summary.textContent = '';
    delete summary.dataset.seed;
    delete summary.dataset.notes;
    return;
  }
  const { notes, seconds, lowestPitch, highestPitch } = current.reply.summary;
  const locale = page.language === 'ja' ? 'ja-JP' : 'en-GB';
  summary.textContent = t('summary', {
    notes: notes.toLocaleString(locale),
    length: formatDuration(seconds),
    low: notes > 0 ? noteName(lowestPitch) : '–',
    high: notes > 0 ? noteName(highestPitch) : '–',
    seed: current.seed,
  });
  summary.dataset.seed = current.seed;
  summary.dataset.notes = String(notes);
}

function renderWarnings() {
  const warnings = page.current?.reply.warnings ?? [];
  $('warnings').replaceChildren(...warnings.map((detail) => {
    const item = document.createElement('li');
    item.textContent = t('warning', { detail: detail.text });
    return item;
  }));
}

function enableResult(enabled) {
  $('play').disabled = !enabled || page.wavBusy;
  $('download-wav').disabled = !enabled || page.wavBusy;
}

function forgetWav() {
  if (page.current?.wavUrl) URL.revokeObjectURL(page.current.wavUrl);
  delete $('download-wav').dataset.url;
}

function clearResult() {
  player.stop();
  renderPlaying(false);
  forgetWav();
  page.current = null;
  midiLink.clear();
  roll.clear();
  renderSummary();
  renderWarnings();
  enableResult(false);
}

function showResult(reply, values) {
  player.stop();
  renderPlaying(false);
  forgetWav();
  const settled = canonical(values);
  page.current = {
    reply,
    seed: settled.seed,
    name: reply.name,
    song: {
      notes: reply.notes,
      // The melody's instrument, then the chords', as the table lists them.
      programs: PAGE_OPTIONS.filter((option) => option.generalMidiProgram)
        .map((option) => Number(settled[fieldIds(option)[0]])),
      seconds: reply.summary.seconds,
    },
    wavUrl: null,
  };
  midiLink.set(reply.midi, reply.name);
  roll.setSong(reply.notes, reply.summary);
  renderSummary();
  renderWarnings();
  enableResult(true);
}

// Each word unbroken, so that a line ends only between words; the text is the command.
function showCommand(command) {
  const words = command.split(' ').map((word) => {
    const span = document.createElement('span');
    span.textContent = word;
    return span;
  });
  $('command').replaceChildren(...words.flatMap((span, i) => (i ? [' ', span] : [span])));
}

// --- Conversion ---------------------------------------------------------------------------

async function convert() {
  if (!page.picture) return;
  const values = readControls();
  const tokens = optionTokens(values);
  const picture = page.picture;
  const id = ++page.request;
  showCommand(commandLine(picture.name, tokens));
  $('copy-command').disabled = false;
  clearError();
  setState('converting');
  setStatus({ key: 'converting' }, null);
  let reply;
  try {
    reply = await converter.convert(picture, tokens);
  } catch (error) {
    reply = { ok: false, failure: { kind: 'core', subject: '', text: error.message } };
  }
  if (id !== page.request) return;
  setStatus(null);
  if (!reply.ok) {
    clearResult();
    const failure = reply.failure ?? { kind: 'core', subject: '', text: reply.error };
    page.error = { failure };
    renderError();
    controlOfOption(failure.subject)?.setAttribute('aria-invalid', 'true');
    setState('error');
    return;
  }
  showResult(reply, values);
  setState('ready');
}

function usePicture(file) {
  if (!file) return;
  page.picture = file;
  $('picture-name').textContent = file.name;
  $('seed').value = randomSeed();
  convert();
}

// --- Settings -------------------------------------------------------------------------------

function showPreset() {
  $('preset').value = matchingPreset(readControls());
}

// Numbers are shown as the converter reads them ("0120" is 120).
function tidy(element, field) {
  if (element.type === 'checkbox') return;
  element.value = canonical({ [field]: element.value })[field];
}

function onControlChange(event) {
  const field = fieldOfControl(event.target);
  if (!field) return;
  tidy(event.target, field);
  settleRivals(field);
  enableDependentControls();
  labelControls(page.language);
  showPreset();
  convert();
}

function onPresetChange() {
  const name = $('preset').value;
  if (!PRESETS.some((preset) => preset.name === name)) return;
  writeControls(presetValues(name));
  labelControls(page.language);
  convert();
}

// The presets, in the table's order, and "custom" for any other settings, shown only.
function fillPresets() {
  const custom = new Option('', 'custom');
  custom.disabled = true;
  custom.dataset.text = 'presetCustom';
  $('preset').replaceChildren(...PRESETS.map((preset) => new Option(preset.name, preset.name)),
    custom);
}

function labelPresets() {
  for (const item of $('preset').options) {
    const preset = PRESETS.find((each) => each.name === item.value);
    if (preset) item.textContent = preset.label[page.language];
  }
}

// --- Sound ----------------------------------------------------------------------------------

async function onPlay() {
  if (player.playing) {
    player.stop();
    renderPlaying(false);
    return;
  }
  const current = page.current;
  if (!current) return;
  renderPlaying(true);
  try {
    await player.play(current.song);
  } catch (error) {
    renderPlaying(false);
    setStatus(null);
    soundError(error);
  }
}

async function onSaveWav() {
  const current = page.current;
  if (!current || page.wavBusy) return;
  const name = replaceExtension(current.name, '.wav');
  if (current.wavUrl) {
    saveUrl(current.wavUrl, name);
    return;
  }
  if (current.song.seconds + TAIL_SECONDS > MAX_WAV_MINUTES * 60) {
    showError('wavTooLong', { minutes: MAX_WAV_MINUTES });
    return;
  }
  player.stop();
  renderPlaying(false);
  page.wavBusy = true;
  enableResult(true);
  try {
    const { left, right } = await engine.render(current.song, {
      onProgress: (part) => setStatus({ key: 'wavRender', params: { percent: Math.floor(part * 100) } }, part),
    });
    setStatus({ key: 'wavWrite' }, null);
    const wav = await converter.makeWav(left, right);
    if (page.current !== current) return;
    current.wavUrl = URL.createObjectURL(new Blob([wav], { type: 'audio/wav' }));
    $('download-wav').dataset.url = current.wavUrl;
    saveUrl(current.wavUrl, name);
  } catch (error) {
    if (page.current === current && error.message !== 'superseded') {
      showError('wavFailed', { detail: error.message });
    }
  } finally {
    page.wavBusy = false;
    setStatus(null);
    enableResult(page.current !== null);
  }
}

// For the browser tests, which have no sound card: the loudness of the first seconds of
// the song shown, rendered through the same synthesizer as Play.
window.pixoraleRenderForTest = async (seconds = 1) => {
  if (!page.current) throw new Error('no song yet');
  player.stop();
  renderPlaying(false);
  try {
    return await measureRender(engine, page.current.song, seconds);
  } finally {
    setStatus(null);
  }
};

// --- Language -------------------------------------------------------------------------------

function setLanguage(language) {
  page.language = LANGUAGES.includes(language) ? language : DEFAULT_LANGUAGE;
  document.documentElement.lang = page.language;
  $('lang').value = page.language;
  applyTexts(document, page.language);
  labelControls(page.language);
  labelPresets();
  renderPlaying(player.playing);
  renderSummary();
  renderWarnings();
  renderError();
  renderStatus();
}

function storedLanguage() {
  try {
    return localStorage.getItem(LANGUAGE_KEY);
  } catch {
    return null; // storage may be off; Japanese then
  }
}

function onLanguageChange() {
  try {
    localStorage.setItem(LANGUAGE_KEY, $('lang').value);
  } catch {
    // the choice then lasts for this visit only
  }
  setLanguage($('lang').value);
}

// --- Picture input --------------------------------------------------------------------------

function wirePictureInput() {
  const input = $('picture');
  const zone = $('drop-zone');
  zone.addEventListener('click', () => input.click());
  input.addEventListener('change', () => {
    usePicture(input.files[0]);
  });
  // A file dropped anywhere on the page is taken, never opened by the browser instead.
  document.addEventListener('dragover', (event) => {
    if (!event.dataTransfer.types.includes('Files')) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
    zone.classList.add('dragging');
  });
  document.addEventListener('dragleave', (event) => {
    if (event.relatedTarget === null) zone.classList.remove('dragging');
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    zone.classList.remove('dragging');
    usePicture(event.dataTransfer.files[0]);
  });
}

async function copyCommand() {
  const command = $('command').textContent;
  try {
    await navigator.clipboard.writeText(command);
  } catch {
    const range = document.createRange();
    range.selectNodeContents($('command'));
    getSelection().removeAllRanges();
    getSelection().addRange(range);
    document.execCommand('copy');
  }
  const button = $('copy-command');
  button.dataset.text = 'copied';
  button.textContent = t('copied');
  setTimeout(() => {
    button.dataset.text = 'copy';
    button.textContent = t('copy');
  }, 1500);
}

// --- Start ----------------------------------------------------------------------------------

buildControls();
fillPresets();
// The first preset is the page's own.
writeControls(presetValues(PRESETS[0].name));
showPreset();
setLanguage(storedLanguage() ?? DEFAULT_LANGUAGE);
wirePictureInput();
for (const id of FIELD_IDS) $(id).addEventListener('change', onControlChange);
$('preset').addEventListener('change', onPresetChange);
$('new-seed').addEventListener('click', () => {
  $('seed').value = randomSeed();
  convert();
});
$('lang').addEventListener('change', onLanguageChange);
$('play').addEventListener('click', onPlay);
$('download-wav').addEventListener('click', onSaveWav);
$('copy-command').addEventListener('click', copyCommand);
setStatus({ key: 'starting' }, null);
converter.ready.then(
  () => { if (page.status?.key === 'starting') setStatus(null); },
  (error) => {
    setStatus(null);
    showError('engineFailed', { detail: error.message });
    setState('error');
  },
);
