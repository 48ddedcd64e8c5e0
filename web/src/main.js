// The page's wiring: a picture and the settings go to the conversion worker; its answer is
// shown as the summary, the picture with what was read of it, the piano roll, the downloads,
// the link and the command line that make the same song.

import { Converter } from './converter.js';
import {
  FIELD_IDS, buildControls, controlOfOption, enableDependentControls, fieldOfControl,
  labelControls, readControls, settleRivals, writeControls,
} from './controls.js';
import { DownloadLink, replaceExtension, saveUrl } from './downloads.js';
import { readSongFragment, songFragment } from './link.js';
import { Player, SoundEngine, measureRender } from './player.js';
import { ConversionFailure, WorkerFailure } from './protocol/conversion.js';
import { SoundFailure } from './protocol/synth.js';
import {
  PAGE_OPTIONS, PRESETS, canonical, commandLine, fieldIds, matchingPreset, optionNamed, optionTokens,
  presetValues, randomSeed,
} from './settings.js';
import { TAIL_SECONDS } from './song-events.js';
import { SongDisplay } from './song-display.js';
import { installTestHooks } from './test-hooks.js';
import { DEFAULT_LANGUAGE, LANGUAGES, applyTexts, messageText, text } from './texts.js';

const $ = (id) => document.getElementById(id);
const LANGUAGE_KEY = 'pixorale.language';
// The WAV is made in memory: 8 bytes a frame while rendering, 4 in the file.
const MAX_WAV_MINUTES = 30;

const page = {
  language: DEFAULT_LANGUAGE,
  picture: null,
  request: 0,
  conversion: null, // the AbortController of the conversion running
  current: null, // the song shown: {reply, name, song, wavUrl}
  stale: false, // the song shown is of earlier settings
  linkSeed: null, // the seed of an opened link, for the next picture
  linkPicture: '', // and the name of its picture
  error: null, // {key, params} or {group, message}: a failure {kind, subject, text} by kind
  status: null, // {key, params}
  wavBusy: false,
};

const t = (key, params) => text(page.language, key, params);
const setState = (state) => { document.body.dataset.state = state; };

// --- Messages ---------------------------------------------------------------------------

function errorText({ group, message, key, params }) {
  if (!message) return t(key, params);
  return messageText(page.language, group, message, optionNamed(message.subject));
}

// A failure told by its kind keeps the kind and the converter's own line beside the words.
function renderError() {
  const { error } = page;
  const element = $('error');
  element.textContent = error ? errorText(error) : '';
  element.dataset.kind = error?.message?.kind ?? '';
  element.dataset.reason = error?.message?.text ?? '';
}

function showError(key, params) {
  page.error = { key, params };
  renderError();
}

// message: a failure {kind, subject, text} of `group` ('failure' or 'sound').
function showMessage(group, message) {
  page.error = { group, message };
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
  if (error.kind === SoundFailure.SUPERSEDED) return;
  showMessage('sound', { kind: error.kind ?? 'unknown', subject: '', text: error.reason ?? error.message });
}

// --- Result -------------------------------------------------------------------------------

const converter = new Converter();
const engine = new SoundEngine(onSoundStatus);
const display = new SongDisplay({ language: () => page.language, text: t });
const midiLink = new DownloadLink($('download-mid'), 'audio/midi');
let playheadSeconds = null;
const player = new Player(engine, {
  onPlayhead: (seconds) => {
    playheadSeconds = seconds;
    display.setPlayhead(seconds);
  },
  onEnded: (error) => {
    renderPlaying(false);
    if (error) soundError(error);
  },
});

function renderPlaying(playing) {
  const button = $('play');
  button.textContent = t(playing ? 'stop' : 'play');
  button.dataset.text = playing ? 'stop' : 'play';
  button.setAttribute('aria-pressed', String(playing));
  if (!playing) {
    playheadSeconds = null;
    display.setPlayhead(null);
  }
}

function enableResult(enabled) {
  const usable = enabled && !page.stale;
  $('play').disabled = !usable || page.wavBusy;
  $('download-wav').disabled = !usable || page.wavBusy;
  if (usable && page.current) midiLink.enable();
  else midiLink.disable();
}

// A song of earlier settings stays in sight, dimmed and not to be played or saved, while
// new settings convert or when they are refused.
function setStale(stale) {
  if (stale && player.playing) {
    player.stop();
    renderPlaying(false);
  }
  page.stale = stale && page.current !== null;
  display.setStale(page.stale);
  enableResult(page.current !== null);
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
  display.clear();
  setStale(false);
}

function showResult(reply, values, picture) {
  player.stop();
  renderPlaying(false);
  forgetWav();
  const settled = canonical(values);
  page.current = {
    reply,
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
  display.show(reply, settled.seed, songFragment(values, picture.name));
  setStale(false);
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

// A conversion nobody waits for any more is cancelled: a newer one takes its place.
function cancelConversion() {
  ++page.request;
  page.conversion?.abort();
  page.conversion = null;
}

// Failures of the settings, not of the picture: the song before stays in sight, marked as
// of earlier settings, and the control to mend is pointed at (and unfolded).
const SETTINGS_FAILURES = new Set(['usage', 'option-value', 'option-conflict', 'missing-feature']);

function showFailure(failure) {
  showMessage('failure', failure);
  if (!SETTINGS_FAILURES.has(failure.kind)) {
    clearResult();
    return;
  }
  setStale(true);
  const control = controlOfOption(failure.subject);
  control?.setAttribute('aria-invalid', 'true');
  const folded = control?.closest('details');
  if (folded) folded.open = true;
}

async function convert() {
  if (!page.picture) return;
  const values = readControls();
  const tokens = optionTokens(values);
  const picture = page.picture;
  cancelConversion();
  const id = page.request;
  const conversion = new AbortController();
  page.conversion = conversion;
  showCommand(commandLine(picture.name, tokens));
  $('copy-command').disabled = false;
  clearError();
  setStale(true);
  setState('converting');
  setStatus({ key: 'converting' }, null);
  let reply;
  try {
    reply = await converter.convert(picture, tokens, { signal: conversion.signal });
  } catch (error) {
    if (id !== page.request || error.kind === WorkerFailure.CANCELLED) return;
    setStatus(null);
    showFailure(error instanceof ConversionFailure ? error.failure
      : { kind: WorkerFailure.CORE_FAILURE, subject: picture.name, text: String(error) });
    setState('error');
    return;
  }
  if (id !== page.request) return;
  page.conversion = null;
  setStatus(null);
  showResult(reply, values, picture);
  setState('ready');
  engine.prepareWhenIdle();
}

function usePicture(file) {
  if (!file) return;
  page.picture = file;
  document.body.classList.add('has-picture');
  $('picture-name').textContent = file.name;
  // The first picture after a link was opened makes the link's song.
  $('seed').value = page.linkSeed ?? randomSeed();
  page.linkSeed = null;
  $('link-notice').hidden = true;
  display.setPicture(file);
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
    if (page.current === current && error.kind !== SoundFailure.SUPERSEDED) showError('wavFailed');
  } finally {
    page.wavBusy = false;
    setStatus(null);
    enableResult(page.current !== null);
  }
}

// For the browser tests, which have no sound card: the loudness of the first seconds of the
// song shown, rendered through the same synthesizer as Play; and Play's clock.
installTestHooks({
  async render(seconds = 1) {
    if (!page.current) throw new Error('no song yet');
    player.stop();
    renderPlaying(false);
    try {
      return await measureRender(engine, page.current.song, seconds);
    } finally {
      setStatus(null);
    }
  },
  clock: () => ({ playing: player.playing, seconds: playheadSeconds }),
});

// --- Language -------------------------------------------------------------------------------

function setLanguage(language) {
  page.language = LANGUAGES.includes(language) ? language : DEFAULT_LANGUAGE;
  document.documentElement.lang = page.language;
  $('lang').value = page.language;
  applyTexts(document, page.language);
  labelControls(page.language);
  labelPresets();
  renderPlaying(player.playing);
  display.render();
  renderLinkNotice();
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
    // Choosing the same file again is a change too.
    input.value = '';
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

// Copies the text (of the element `source`, when the clipboard refuses it, by selecting it)
// and says so on the button for a moment.
async function copyText(value, source, button) {
  try {
    await navigator.clipboard.writeText(value);
  } catch {
    const range = document.createRange();
    range.selectNodeContents(source);
    getSelection().removeAllRanges();
    getSelection().addRange(range);
    document.execCommand('copy');
  }
  const label = button.dataset.text;
  button.dataset.text = 'copied';
  button.textContent = t('copied');
  setTimeout(() => {
    button.dataset.text = label;
    button.textContent = t(label);
  }, 1500);
}

// --- Link -------------------------------------------------------------------------------------

// A link opened sets its settings and seed, and asks for the picture.
function openLink() {
  const link = readSongFragment(location.hash);
  if (!link) return;
  writeControls(link.settings);
  page.linkSeed = link.settings.seed;
  page.linkPicture = link.pictureName;
  $('link-notice').hidden = false;
}

function renderLinkNotice() {
  if (page.linkSeed === null) return;
  $('link-notice').textContent = page.linkPicture
    ? t('linkOpened', { name: page.linkPicture }) : t('linkOpenedNoName');
}

// --- Start ----------------------------------------------------------------------------------

// Key and length come first, as people reach for them first; the rest is folded.
buildControls({ first: ['--key', '--columns', '--max-seconds'] });
fillPresets();
// The first preset is the page's own.
writeControls(presetValues(PRESETS[0].name));
openLink();
showPreset();
// Wide screens have room for every setting; narrow ones show the first few.
$('more-settings').open = matchMedia('(min-width: 56rem)').matches;
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
$('copy-command').addEventListener('click',
  (event) => copyText($('command').textContent, $('command'), event.currentTarget));
$('copy-link').addEventListener('click',
  (event) => copyText($('link').href, $('link'), event.currentTarget));
setStatus({ key: 'starting' }, null);
converter.ready.then(
  () => { if (page.status?.key === 'starting') setStatus(null); },
  (error) => {
    setStatus(null);
    showMessage('failure', error.failure);
    setState('error');
  },
);
