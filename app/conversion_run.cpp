#include "app/conversion_run.h"

#include <algorithm>

#include "app/ui_texts.h"
#include "convert/melody.h"

namespace pixorale {
namespace {

void Summarize(const Song& song, RunReport& report) {
  report.trackCount = song.trackCount;
  report.division = song.division;
  for (const Track& track : song.tracks) {
    uint64_t ticks = 0;
    for (const MidiEvent& event : track.events) {
      ticks += event.delta.value;
      if ((event.status & 0xF0) != midi_status::kNoteOn) continue;
      report.lowestPitch =
          report.noteCount == 0 ? event.data1 : std::min(report.lowestPitch, event.data1);
      report.highestPitch = std::max(report.highestPitch, event.data1);
      ++report.noteCount;
    }
    report.lengthTicks = std::max(report.lengthTicks, ticks);
  }
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

}  // namespace

RunReport RunConversion(std::string_view path, ProgramState& state, RandomBitSource& bits,
                        ConversionUi& ui) {
  RunReport report;
  BitmapImage& image = state.image;
  report.picture = ui.LoadPicture(std::string(path), image);
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

  Song& song = state.song;
  ConvertImageToSong(song, image, state.settings.ToParameters(), bits);
  Summarize(song, report);
  report.quarterMicroseconds = QuarterMicroseconds(state.settings.ToParameters().tempo);

  const std::optional<std::string> outputPath =
      ui.PromptSaveFile(texts::kMidiFilter, texts::kMidiExtension);
  if (!outputPath) {
    report.status = RunStatus::kCancelled;
  } else if (ui.SaveSong(song, *outputPath)) {
    report.status = RunStatus::kWritten;
    report.outputPath = *outputPath;
  } else {
    ui.ShowMessage(texts::kCannotSaveMidi, texts::kErrorCaption);
    report.status = RunStatus::kWriteFailed;
    report.outputPath = *outputPath;
  }

  song.ClearSong();
  image.FreeBitmap();
  return report;
}

}  // namespace pixorale
