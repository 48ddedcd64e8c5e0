#include "app/conversion_run.h"

#include <algorithm>
#include <new>

#include "app/ui_texts.h"
#include "convert/melody.h"
#include "midi/song_time.h"

namespace pixorale {
namespace {

SongSummary Summarize(const Song& song) {
  SongSummary summary;
  summary.trackCount = song.trackCount;
  summary.division = song.division;
  summary.timingMode = song.timingMode;
  for (const Track& track : song.tracks) {
    uint64_t ticks = 0;
    for (const MidiEvent& event : track.events) {
      ticks += event.delta.value;
      if (IsTempoEvent(event)) summary.quarterMicroseconds = TempoOf(event);
      if ((event.status & 0xF0) != midi_status::kNoteOn) continue;
      summary.lowestPitch =
          summary.noteCount == 0 ? event.data1 : std::min(summary.lowestPitch, event.data1);
      summary.highestPitch = std::max(summary.highestPitch, event.data1);
      ++summary.noteCount;
    }
    summary.lengthTicks = std::max(summary.lengthTicks, ticks);
  }
  return summary;
}

RunStatus LoadFailure(const PictureLoad& picture) {
  switch (picture.failedStep) {
    case PictureStep::kOpen:
    case PictureStep::kRead:
      return RunStatus::kCannotOpen;
    case PictureStep::kHeader:
      if (picture.format == PictureFormat::kOther) return RunStatus::kClaimsTooMuch;
      break;
    default:
      break;
  }
  return RunStatus::kUndecodable;
}

// The steps after the picture was read: convert, ask where to save, write. Returns the
// status; the report collects what each step gave.
RunStatus ConvertAndSave(ProgramState& state, RandomBitSource& bits, ConversionUi& ui,
                         SongOutputs& outputs, RunReport& report) {
  Song& song = state.song;
  ConversionParameters params = state.settings.ToParameters();
  params.controls = state.controls;
  ConvertImageToSong(song, state.image, params, bits, &report.noteSources);
  report.columns = state.image.HasRows24() ? state.image.width : 0;
  report.song = Summarize(song);

  const std::optional<std::string> outputPath =
      ui.PromptSaveFile(texts::kMidiFilter, texts::kMidiExtension);
  if (!outputPath) return RunStatus::kCancelled;
  report.outputPath = *outputPath;
  report.outputs = outputs.Write(song, *outputPath);
  const auto made = [](const OutputReport& output) { return output.ok(); };
  // The message is the MIDI file's; the shells that make more outputs report those alone.
  if (report.outputs.empty() ||
      (!made(report.outputs.front()) && !report.outputs.front().withheld)) {
    ui.ShowMessage(texts::kCannotSaveMidi, texts::kErrorCaption);
  }
  return std::all_of(report.outputs.begin(), report.outputs.end(), made) ? RunStatus::kWritten
                                                                         : RunStatus::kWriteFailed;
}

}  // namespace

RunReport RunConversion(std::string_view path, ProgramState& state, RandomBitSource& bits,
                        ConversionUi& ui, const PictureSource& picture, SongOutputs& outputs) {
  RunReport report;
  BitmapImage& image = state.image;
  // Running out of memory fails this run alone: the song and the image are emptied and the
  // shell is told, so a batch goes on with its next picture.
  try {
    report.picture = picture.Load(std::string(path), image);
    if (!report.picture.ok()) {
      // An unreadable file ends the run without a message.
      image.FreeBitmap();
      report.status = LoadFailure(report.picture);
      return report;
    }
    report.bitCount = image.bitCount;
    if (image.bitCount != 24) {
      image.FreeBitmap();
      ui.ShowMessage(texts::kNot24Bit, texts::kErrorCaption);
      report.status = RunStatus::kNot24Bit;
      return report;
    }
    report.status = ConvertAndSave(state, bits, ui, outputs, report);
  } catch (const std::bad_alloc&) {
    report.status = RunStatus::kOutOfMemory;
  }
  state.song.ClearSong();
  image.FreeBitmap();
  return report;
}

}  // namespace pixorale
