// The settings controls of the page, made from facts.js: one control for each option the
// converter's table offers the page, in its group and in the table's order; their values as
// settings.js reads them, and the few rules that tie controls together.

import { GM_PROGRAMS } from './gm-programs.js';
import { DEFAULTS, PAGE_OPTIONS, fieldIds, optionNamed } from './settings.js';
import { text } from './texts.js';

const $ = (id) => document.getElementById(id);

// Every control id -> its option.
const OPTION_OF_FIELD = new Map(PAGE_OPTIONS.flatMap((option) =>
  fieldIds(option).map((id) => [id, option])));

export const FIELD_IDS = Object.freeze([...OPTION_OF_FIELD.keys()]);

function element(tag, attributes = {}, children = []) {
  const made = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
  made.append(...children);
  return made;
}

function input(id, option) {
  return element('input', {
    id, autocomplete: 'off', spellcheck: 'false',
    inputmode: option.kind === 'decimal' ? 'decimal' : 'numeric',
  });
}

function select(id, choices) {
  const made = element('select', { id });
  made.replaceChildren(...choices.map(([value, label]) => new Option(label, value)));
  return made;
}

function programChoices(option) {
  const choices = [];
  for (let i = Number(option.min); i <= Number(option.max); ++i) {
    choices.push([String(i), `${i} ${GM_PROGRAMS[i]}`]);
  }
  return choices;
}

// Labels and choice labels are filled in by labelControls, in the page's language.
function labelled(id, option, control) {
  const label = element('label', { for: id, 'data-option-label': option.name });
  return element('div', { class: 'field' }, [label, control]);
}

function makeControl(option) {
  const [id] = fieldIds(option);
  if (option.kind === 'flag') {
    // The box and its words are one label: the whole row is what a finger hits.
    const box = element('input', { type: 'checkbox', id });
    const words = element('span', { 'data-option-label': option.name });
    return element('label', { class: 'field check' }, [box, words]);
  }
  if (option.kind === 'bounds') {
    const [low, high] = fieldIds(option);
    const legend = element('legend', { 'data-option-label': option.name });
    const half = (halfId, key) => element('div', { class: 'field' }, [
      element('label', { for: halfId, 'data-text': key }), input(halfId, option)]);
    return element('fieldset', { class: 'pair' }, [legend, half(low, 'low'), half(high, 'high')]);
  }
  if (option.kind === 'choice') {
    return labelled(id, option, select(id, option.choices.map(({ value }) => [value, value])));
  }
  if (option.generalMidiProgram) return labelled(id, option, select(id, programChoices(option)));
  return labelled(id, option, input(id, option));
}

// A hint under an option that another one excludes: giving one clears the other.
function rivalHint(option) {
  const rivals = option.excludes.filter((name) => optionNamed(name)?.label);
  if (rivals.length === 0) return [];
  return [element('p', { class: 'hint', 'data-rivals-of': option.name })];
}

// Writes the controls into their groups (#group-general, #group-musical, ...), those of the
// options named in `first` into #group-first; options whose control the page has placed itself
// (the preset, the seed) are left where they are.
export function buildControls({ first = [] } = {}) {
  for (const option of PAGE_OPTIONS) {
    if ($(fieldIds(option)[0])) continue;
    const group = first.includes(option.name) ? 'first' : option.group;
    $(`group-${group}`).append(makeControl(option), ...rivalHint(option));
  }
}

// Every label in `language`; the scale list names its scales on the chosen key.
export function labelControls(language) {
  for (const label of document.querySelectorAll('[data-option-label]')) {
    label.textContent = optionNamed(label.dataset.optionLabel).label[language];
  }
  for (const hint of document.querySelectorAll('[data-rivals-of]')) {
    const option = optionNamed(hint.dataset.rivalsOf);
    const others = option.excludes.filter((name) => optionNamed(name)?.label)
      .map((name) => optionNamed(name).label[language]);
    hint.textContent = text(language, 'rivalHint', { other: others.join(text(language, 'listSeparator')) });
  }
  const key = readControls().key;
  for (const option of PAGE_OPTIONS) {
    if (option.kind !== 'choice') continue;
    const control = $(fieldIds(option)[0]);
    [...control.options].forEach((item, index) => {
      const label = option.choices[index]?.label[language] ?? item.value;
      // A scale is named on its root: "Dメジャー", "D major".
      item.textContent = option.name !== '--scale' ? label
        : language === 'ja' ? `${key}${label}` : `${key} ${label}`;
    });
  }
}

export function readControls() {
  const values = {};
  for (const id of FIELD_IDS) {
    const control = $(id);
    values[id] = control.type === 'checkbox' ? control.checked : control.value.trim();
  }
  return values;
}

// Sets the controls of the settings given (others keep their values).
export function writeControls(values) {
  for (const [id, value] of Object.entries(values)) {
    const control = $(id);
    if (!control) continue;
    if (control.type === 'checkbox') control.checked = Boolean(value);
    else control.value = value;
  }
  enableDependentControls();
}

// An option that does nothing without a flag is offered only while the flag is on.
export function enableDependentControls() {
  const values = readControls();
  for (const option of PAGE_OPTIONS) {
    if (option.onlyWith === null) continue;
    const on = values[fieldIds(optionNamed(option.onlyWith))[0]] === true;
    for (const id of fieldIds(option)) $(id).disabled = !on;
  }
}

// After the user changed a control: once it gives its option completely, the options that
// exclude it are cleared, so the latest choice wins.
export function settleRivals(id) {
  const option = OPTION_OF_FIELD.get(id);
  if (!option || option.kind === 'flag') return;
  if (fieldIds(option).some((field) => $(field).value.trim() === '')) return;
  for (const name of option.excludes) {
    const rival = optionNamed(name);
    if (!rival?.label) continue;
    for (const field of fieldIds(rival)) $(field).value = DEFAULTS[field] ?? '';
  }
}

export function fieldOfControl(control) {
  return OPTION_OF_FIELD.has(control.id) ? control.id : null;
}

// The control to point at when the converter refused an option's value.
export function controlOfOption(name) {
  const option = optionNamed(name);
  return option?.label ? $(fieldIds(option)[0]) : null;
}

