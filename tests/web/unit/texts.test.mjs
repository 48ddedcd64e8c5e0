// Every failure and warning the page can meet is worded in both its languages, chosen by its
// kind: the converter's kinds (facts.js, which the build writes from its table) and the
// worker's own.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { WorkerFailure } from '../../../web/src/protocol/conversion.js';
import { SoundFailure } from '../../../web/src/protocol/synth.js';
import { LANGUAGES, hasMessage } from '../../../web/src/texts.js';

const dist = process.env.PIXORALE_WEB_DIST ?? path.resolve('build/web/dist');
const { default: facts } = await import(pathToFileURL(path.join(dist, 'src/facts.js')));

// What the page never asks of the converter: files besides the picture, a WAV, a settings
// file, a preset file's save; option-value is worded from the option's own label and limits.
const NEVER_MET = new Set([
  'no-input', 'settings-file', 'soundfont', 'output-conflict', 'output-exists', 'output-refused',
  'render-failed', 'option-value', 'silent-song', 'unreadable-settings',
]);
// Told by being left out: a request nobody waits for, a render a newer one took over.
const NOT_TOLD = new Set([WorkerFailure.CANCELLED, SoundFailure.SUPERSEDED]);

test('each kind has its own words in every language', () => {
  const groups = {
    failure: [...facts.failureKinds, ...Object.values(WorkerFailure)],
    warning: facts.warningKinds,
    sound: Object.values(SoundFailure),
  };
  const missing = [];
  for (const [group, kinds] of Object.entries(groups)) {
    for (const kind of kinds) {
      if (NEVER_MET.has(kind) || NOT_TOLD.has(kind)) continue;
      for (const language of LANGUAGES) {
        if (!hasMessage(language, group, kind)) missing.push(`${language} ${group}:${kind}`);
      }
    }
  }
  assert.deepEqual(missing, []);
});
