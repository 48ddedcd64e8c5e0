// Which pieces of the SoundFont a song needs, and the synthesizer channel of each note (pure).
// The SoundFont is served cut into pieces, each an instrument's zones for a range of keys
// (web/tools/split-sound-font.mjs writes them and their index). The synthesizer selects one
// preset per channel, so each (track, piece) pair the song uses gets a channel of its own: a
// note sounds as it would from the whole SoundFont on its track's channel, as a key always
// falls in the same piece and re-striking it meets the same channel.

import { NOTE_FIELDS, PITCH, START, TRACK, frameAt } from './song-events.js';

// The synthesizer's channels: the melody's and the chords' pieces together (an instrument has at
// most 11 pieces today).
export const MAX_CHANNELS = 64;

export class SongPieces {
  // index: the pieces' index.json; notes as the conversion worker gives them; programs[track].
  constructor(index, notes, programs, sampleRate) {
    const count = Math.floor(notes.length / NOTE_FIELDS);
    const channelOf = new Map(); // "track piece-file" -> channel
    this.channels = []; // [{program, file, bytes, firstFrame}]
    this.noteChannels = new Uint8Array(count);
    for (let i = 0; i < count; i++) {
      const base = i * NOTE_FIELDS;
      const track = notes[base + TRACK];
      const program = programs[track];
      const piece = pieceFor(index, program, notes[base + PITCH]);
      const key = `${track} ${piece.file}`;
      let channel = channelOf.get(key);
      if (channel === undefined) {
        channel = this.channels.length;
        if (channel >= MAX_CHANNELS) throw new Error(`a song needs more than ${MAX_CHANNELS} channels`);
        channelOf.set(key, channel);
        this.channels.push({ program, file: piece.file, bytes: piece.bytes, firstFrame: Infinity });
      }
      this.noteChannels[i] = channel;
      const frame = frameAt(notes[base + START], sampleRate);
      if (frame < this.channels[channel].firstFrame) this.channels[channel].firstFrame = frame;
    }
  }

  // The pieces' files in the order the song first plays them, each once: the order to fetch.
  files() {
    const ordered = [...this.channels].sort((a, b) => a.firstFrame - b.firstFrame);
    return [...new Map(ordered.map((channel) => [channel.file, channel.bytes]))]
      .map(([file, bytes]) => ({ file, bytes }));
  }

  // The first frame at which a note needs a piece that `has(file)` denies, and that piece: the
  // song can be rendered up to there. {frame: Infinity, file: null} when every piece is there.
  firstMissing(has) {
    let missing = { frame: Infinity, file: null };
    for (const { firstFrame, file } of this.channels) {
      if (firstFrame < missing.frame && !has(file)) missing = { frame: firstFrame, file };
    }
    return missing;
  }
}

export function pieceFor(index, program, key) {
  const pieces = index.programs[program];
  if (!pieces) throw new Error(`no SoundFont pieces for program ${program}`);
  const piece = pieces.find((p) => key >= p.low && key <= p.high);
  if (!piece) throw new Error(`no SoundFont piece for key ${key} of program ${program}`);
  return piece;
}
