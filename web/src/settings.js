// The page's settings as the texts of its controls, and the pixorale-convert options they
// stand for. Every option, limit, default, choice and preset comes from facts.js, which the
// build writes from the converter's own table. Pure: no DOM, so the command line can be
// checked without a browser.

import facts from './facts.js';

const OPTIONS = new Map(facts.options.map((option) => [option.name, option]));

// The options the page has controls for (those the table gives a label), in the table's order.
export const PAGE_OPTIONS = facts.options.filter((option) => option.label !== null);
export const PRESETS = facts.presets;

// The option called `name` ("--tempo"), as facts.js describes it.
export function optionNamed(name) {
  return OPTIONS.get(name);
}

// The ids of an option's controls: "--chord-program" is #chord-program; a LOW:HIGH option has
// two, #range-low and #range-high.
export function fieldIds(option) {
  const id = option.name.slice(2);
  return option.kind === 'bounds' ? [`${id}-low`, `${id}-high`] : [id];
}

// The controls' values for the option's own value as the converter takes it ("48:84").
function fieldValues(option, value) {
  if (option.kind === 'flag') return [value === true];
  if (option.kind === 'bounds') return value === null ? ['', ''] : value.split(':');
  return [value ?? ''];
}

// The controls of the converter's defaults: empty fields, unticked boxes, the default choices.
// The seed has none: each picture gets its own (randomSeed).
export const DEFAULTS = Object.freeze(Object.fromEntries(PAGE_OPTIONS.flatMap((option) => {
  const values = fieldValues(option, option.kind === 'flag' ? false : option.default);
  return fieldIds(option).map((id, i) => [id, values[i]]);
})));

// What the preset gives each option it sets.
function presetOptions(name) {
  return new Map(PRESETS.find((preset) => preset.name === name)?.options ?? []);
}

// The seed is no setting of a preset: each picture gets its own.
const SEED = '--seed';

// The controls of a preset: the defaults, with the preset's own options; the seed is kept.
export function presetValues(name) {
  const values = { ...DEFAULTS };
  for (const id of fieldIds(optionNamed(SEED))) delete values[id];
  for (const [optionName, value] of presetOptions(name)) {
    const option = optionNamed(optionName);
    const given = fieldValues(option, option.kind === 'flag' ? true : value);
    fieldIds(option).forEach((id, i) => { values[id] = given[i]; });
  }
  return values;
}

// Plain decimal as the converter reads it: digits only, no sign ("010" is ten).
const WHOLE = /^[0-9]+$/;
const SECONDS = /^([0-9]+\.?[0-9]*|\.[0-9]+)$/;

// A control's text as the converter would read it, written the shortest way ("0120" -> "120");
// a text that is not a number is left as it is, for the converter to refuse.
function canonicalText(option, text) {
  const trimmed = String(text ?? '').trim();
  if ((option.kind === 'whole' || option.kind === 'bounds') && WHOLE.test(trimmed)) {
    return BigInt(trimmed).toString();
  }
  if (option.kind === 'decimal' && SECONDS.test(trimmed)) {
    const shortest = String(Number(trimmed));
    return /e/i.test(shortest) ? trimmed : shortest;
  }
  return trimmed;
}

export function canonical(values) {
  const out = { ...values };
  for (const option of PAGE_OPTIONS) {
    if (option.kind === 'flag' || option.kind === 'choice') continue;
    for (const id of fieldIds(option)) {
      if (typeof out[id] === 'string') out[id] = canonicalText(option, out[id]);
    }
  }
  return out;
}

// An option the page does not use: one that does nothing without a flag that is off.
function unused(option, values) {
  return option.onlyWith !== null && values[fieldIds(optionNamed(option.onlyWith))[0]] !== true;
}

// The option's value as the controls give it: true or false for a flag, else the text the
// option takes, or null when its controls are empty.
function wanted(option, values) {
  const texts = fieldIds(option).map((id) => values[id]);
  if (option.kind === 'flag') return texts[0] === true;
  if (texts.every((text) => text === '' || text === undefined || text === null)) return null;
  return texts.join(':');
}

const excludes = (a, b) => optionNamed(a).excludes.includes(b);

// The words after --no-settings for the values with `preset` (null: none), or null when the
// preset sets an option that the values leave out and nothing given excludes.
function tokensWith(values, preset) {
  const fromPreset = presetOptions(preset);
  const given = [];
  for (const option of PAGE_OPTIONS) {
    if (unused(option, values)) continue;
    const value = wanted(option, values);
    const baseline = option.kind === 'flag'
      ? fromPreset.has(option.name) : fromPreset.get(option.name) ?? option.default;
    if (value !== baseline) given.push([option, value]);
  }
  const tokens = preset === null ? [] : ['--preset', preset];
  for (const [option, value] of given) {
    if (value === null || value === false) {
      // Only an option given on its own can make the preset's give way.
      if (!given.some(([other, v]) => v !== null && v !== false && excludes(other.name, option.name))) {
        return null;
      }
      continue;
    }
    tokens.push(option.name);
    if (option.kind !== 'flag') tokens.push(value);
  }
  return tokens;
}

// pixorale-convert's options for the settings (the seed among them), without the input:
// always --no-settings (a setting.set never matters), then the preset that says the most of
// them in the fewest words, then the options whose value differs from what the preset and
// the defaults give, in the table's order.
export function optionTokens(settings) {
  const values = canonical(settings);
  let best = tokensWith(values, null);
  for (const preset of PRESETS) {
    if (preset.options.length === 0) continue;
    const tokens = tokensWith(values, preset.name);
    if (tokens !== null && tokens.length <= best.length) best = tokens;
  }
  return ['--no-settings', ...best];
}

// The preset whose settings these are, or 'custom'.
export function matchingPreset(settings) {
  const values = canonical(settings);
  for (const preset of PRESETS) {
    const expected = presetValues(preset.name);
    const same = PAGE_OPTIONS.every((option) => option.name === SEED || unused(option, values) ||
      fieldIds(option).every((id) => values[id] === expected[id]));
    if (same) return preset.name;
  }
  return 'custom';
}

// A word as a POSIX shell reads it back: left bare when it holds only characters no shell
// treats specially, else in single quotes (a quote inside as '\'').
export function shellQuote(word) {
  if (/^[A-Za-z0-9_@%+=:,./-]+$/.test(word)) return word;
  return `'${word.replaceAll("'", "'\\''")}'`;
}

// The command that makes the same file: a picture name starting with "-" is written as
// ./-name, which the converter would otherwise take for an option.
export function commandLine(pictureName, tokens) {
  const input = pictureName.startsWith('-') ? `./${pictureName}` : pictureName;
  return [facts.program, input, ...tokens].map(shellQuote).join(' ');
}

// A fresh seed: any whole number up to 2^53 - 1, exact in a JavaScript number.
export function randomSeed() {
  const [high, low] = crypto.getRandomValues(new Uint32Array(2));
  return String((high & 0x1fffff) * 2 ** 32 + low);
}
