// The page's settings as the texts of its controls, and the pixorale-convert options they
// stand for. Pure: no DOM, so the command line can be checked without a browser.

export const SCALES = [
  'c-major', 'c-natural-minor', 'c-harmonic-minor', 'c-melodic-minor', 'c-dorian',
  'c-phrygian', 'c-lydian', 'c-mixolydian', 'c-locrian',
  'major-pentatonic', 'minor-pentatonic', 'blues', 'whole-tone', 'chromatic',
];
export const KEYS = ['C', 'C#', 'D', 'D#', 'E', 'F', 'F#', 'G', 'G#', 'A', 'A#', 'B'];
export const TIMINGS = ['beat', 'ms'];

const U32_MAX = 4294967295n;
const U64_MAX = 18446744073709551615n;

// The desktop program's defaults, as its controls show them: a range or map with both
// fields empty is none, and so are empty columns and maximum seconds. The seed is no
// setting of the desktop program: each picture gets its own (randomSeed).
export const DESKTOP_DEFAULTS = Object.freeze({
  scale: 'c-major', sustain: '16', tempo: '120', timing: 'beat', resolution: '768',
  chords: false, rangeLow: '', rangeHigh: '',
  key: 'C', columns: '', maxSeconds: '', mapLow: '', mapHigh: '', dynamics: false,
  program: '0', velocity: '100', chordProgram: '99', chordVelocity: '100',
});

export const PRESETS = Object.freeze({
  musical: Object.freeze({ ...DESKTOP_DEFAULTS, mapLow: '48', mapHigh: '84', maxSeconds: '60' }),
  desktop: DESKTOP_DEFAULTS,
});

// Whole-number fields with the converter's own limits.
export const INTEGER_FIELDS = Object.freeze({
  seed: { min: 0n, max: U64_MAX },
  sustain: { min: 0n, max: U32_MAX },
  tempo: { min: 1n, max: U32_MAX },
  resolution: { min: 1n, max: 32767n },
  rangeLow: { min: 0n, max: 255n },
  rangeHigh: { min: 0n, max: 255n },
  columns: { min: 1n, max: 1000000n },
  mapLow: { min: 0n, max: 127n },
  mapHigh: { min: 0n, max: 127n },
  program: { min: 0n, max: 127n },
  velocity: { min: 1n, max: 127n },
  chordProgram: { min: 0n, max: 127n },
  chordVelocity: { min: 1n, max: 127n },
});

// Fields that come in pairs, and fields of which only one may be given: the converter
// refuses --map with --range, and --columns with --max-seconds.
export const PAIRS = Object.freeze({ range: ['rangeLow', 'rangeHigh'], map: ['mapLow', 'mapHigh'] });
export const EXCLUSIVE = Object.freeze([['range', 'map'], ['columns', 'maxSeconds']]);

const OPTIONAL_FIELDS = new Set(['rangeLow', 'rangeHigh', 'mapLow', 'mapHigh', 'columns']);
const CHORD_FIELDS = new Set(['chordProgram', 'chordVelocity']);

// Plain decimal as the converter reads it: digits only, no sign ("010" is ten).
function parseInteger(text) {
  return /^[0-9]+$/.test(text) ? BigInt(text) : null;
}

// Plain decimal seconds above 0, no sign or exponent.
function parseSeconds(text) {
  if (!/^([0-9]+\.?[0-9]*|\.[0-9]+)$/.test(text)) return null;
  const value = Number(text);
  return value > 0 && Number.isFinite(value) ? value : null;
}

function isEmpty(text) {
  return text === '' || text === undefined || text === null;
}

// Each text as the converter would read it, written the shortest way ("0120" -> "120").
// Texts that are not numbers are left as they are for check() to report.
export function canonical(values) {
  const out = { ...values };
  for (const field of Object.keys(INTEGER_FIELDS)) {
    if (typeof out[field] !== 'string') continue;
    const text = out[field].trim();
    const value = parseInteger(text);
    out[field] = value === null ? text : value.toString();
  }
  if (typeof out.maxSeconds === 'string') {
    const text = out.maxSeconds.trim();
    const value = parseSeconds(text);
    const shortest = value === null ? text : String(value);
    out.maxSeconds = /e/i.test(shortest) ? text : shortest;
  }
  return out;
}

function pairGiven(values, pair) {
  return PAIRS[pair].some((field) => !isEmpty(values[field]));
}

function given(values, name) {
  return name in PAIRS ? pairGiven(values, name) : !isEmpty(values[name]);
}

// The first problem of the settings, or null: {field, kind: 'integer', min, max, tooLarge},
// {field, kind: 'seconds'}, {field, kind: 'pair'}, {field, kind: 'order'} or
// {field, kind: 'exclusive', other}. `field` names the control to fix.
export function check(values) {
  for (const [field, { min, max }] of Object.entries(INTEGER_FIELDS)) {
    if (CHORD_FIELDS.has(field) && !values.chords) continue;
    const text = values[field];
    if (isEmpty(text) && OPTIONAL_FIELDS.has(field)) continue;
    const value = parseInteger(text ?? '');
    if (value === null || value < min || value > max) {
      return { field, kind: 'integer', min, max, tooLarge: value !== null && value > max };
    }
  }
  if (!isEmpty(values.maxSeconds) && parseSeconds(values.maxSeconds) === null) {
    return { field: 'maxSeconds', kind: 'seconds' };
  }
  for (const [pair, fields] of Object.entries(PAIRS)) {
    const missing = fields.find((field) => isEmpty(values[field]));
    if (pairGiven(values, pair) && missing) return { field: missing, kind: 'pair', pair };
  }
  if (pairGiven(values, 'map') && BigInt(values.mapLow) >= BigInt(values.mapHigh)) {
    return { field: 'mapLow', kind: 'order' };
  }
  for (const [first, second] of EXCLUSIVE) {
    if (given(values, first) && given(values, second)) {
      return { field: PAIRS[second]?.[0] ?? second, kind: 'exclusive', pair: second, other: first };
    }
  }
  if (!SCALES.includes(values.scale)) return { field: 'scale', kind: 'choice' };
  if (!KEYS.includes(values.key)) return { field: 'key', kind: 'choice' };
  if (!TIMINGS.includes(values.timing)) return { field: 'timing', kind: 'choice' };
  return null;
}

// pixorale-convert's options for the settings (the seed among them), without the input:
// always --no-settings (a setting.set never matters) and --seed, then, in a fixed order,
// only the options whose value differs from the converter's default. The settings must
// pass check().
export function optionTokens(settings) {
  const values = canonical(settings);
  const d = DESKTOP_DEFAULTS;
  const tokens = ['--no-settings', '--seed', values.seed];
  const differs = (field) => values[field] !== d[field];
  if (differs('scale')) tokens.push('--scale', values.scale);
  if (differs('sustain')) tokens.push('--sustain', values.sustain);
  if (differs('tempo')) tokens.push('--tempo', values.tempo);
  if (differs('timing')) tokens.push('--timing', values.timing);
  if (differs('resolution')) tokens.push('--resolution', values.resolution);
  if (values.chords) tokens.push('--chords');
  if (pairGiven(values, 'range')) tokens.push('--range', `${values.rangeLow}:${values.rangeHigh}`);
  if (differs('key')) tokens.push('--key', values.key);
  if (!isEmpty(values.columns)) tokens.push('--columns', values.columns);
  if (!isEmpty(values.maxSeconds)) tokens.push('--max-seconds', values.maxSeconds);
  if (pairGiven(values, 'map')) tokens.push('--map', `${values.mapLow}:${values.mapHigh}`);
  if (values.dynamics) tokens.push('--dynamics');
  if (differs('program')) tokens.push('--program', values.program);
  if (differs('velocity')) tokens.push('--velocity', values.velocity);
  // The chord options would only be warned about without a chord track.
  if (values.chords && differs('chordProgram')) tokens.push('--chord-program', values.chordProgram);
  if (values.chords && differs('chordVelocity')) tokens.push('--chord-velocity', values.chordVelocity);
  return tokens;
}

// The preset whose settings these are, or 'custom'.
export function matchingPreset(settings) {
  const values = canonical(settings);
  // Without chords the chord instrument and velocity do nothing.
  if (!values.chords) {
    values.chordProgram = DESKTOP_DEFAULTS.chordProgram;
    values.chordVelocity = DESKTOP_DEFAULTS.chordVelocity;
  }
  for (const [name, preset] of Object.entries(PRESETS)) {
    if (Object.keys(preset).every((field) => values[field] === preset[field])) return name;
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
  return ['pixorale-convert', input, ...tokens].map(shellQuote).join(' ');
}

// A fresh seed: any whole number up to 2^53 - 1, exact in a JavaScript number.
export function randomSeed() {
  const [high, low] = crypto.getRandomValues(new Uint32Array(2));
  return String((high & 0x1fffff) * 2 ** 32 + low);
}
