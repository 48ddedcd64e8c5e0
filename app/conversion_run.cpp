#include "app/conversion_run.h"

#include <algorithm>
#include <new>

#include "convert/melody.h"

namespace pixorale {
namespace {

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

// The steps after the picture was read: convert, then save. Returns the status; the report
// collects what each step gave.
RunStatus ConvertAndSave(ProgramState& state, RandomBitSource& bits, SaveStep& save,
                         RunReport& report) {
  Song& song = state.song;
  ConversionParameters params = state.settings.ToParameters();
  params.controls = state.controls;
  ConvertImageToSong(song, state.image, params, bits, &report.noteSources);
  report.columns = state.image.HasRows24() ? state.image.width : 0;

  std::optional<std::vector<OutputReport>> outputs = save.Save(song);
  if (!outputs) return RunStatus::kCancelled;
  report.outputs = std::move(*outputs);
  const auto made = [](const OutputReport& output) { return output.ok(); };
  return !report.outputs.empty() && std::all_of(report.outputs.begin(), report.outputs.end(), made)
             ? RunStatus::kWritten
             : RunStatus::kWriteFailed;
}

}  // namespace

RunReport RunConversion(std::string_view path, ProgramState& state, RandomBitSource& bits,
                        const PictureSource& picture, SaveStep& save) {
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
    std::copy_n(image.headerScratch.begin(), report.firstBytes.size(), report.firstBytes.begin());
    report.pictureWidth = image.width;
    report.pictureHeight = image.height;
    report.firstRowOnTop = image.firstRowOnTop;
    if (image.bitCount != 24) {
      image.FreeBitmap();
      save.RefusePicture();
      report.status = RunStatus::kNot24Bit;
      return report;
    }
    report.status = ConvertAndSave(state, bits, save, report);
  } catch (const std::bad_alloc&) {
    report.status = RunStatus::kOutOfMemory;
  }
  state.song.ClearSong();
  image.FreeBitmap();
  return report;
}

}  // namespace pixorale
