#include "app/converter/convert_one.h"

#include "app/converter/effective_settings.h"
#include "app/converter/input_refusals.h"
#include "app/converter/option_table.h"
#include "app/converter/output_conflicts.h"
#include "convert/os_random_bits.h"
#include "convert/seeded_bits.h"
#include "image/any_picture_source.h"
#include "image/picture_format.h"
#include "io/read_only_file.h"
#include "midi/song_time.h"

namespace pixorale::converter {
namespace {

// Why a file the BMP reader took but the conversion refused cannot be converted. The
// header's first bytes are the file's, so they tell a GIF or a text file from a BMP.
Failure NotConvertible(const std::string& path, const RunReport& report, uint64_t fileSize) {
  if (HasBmpSignature(report.firstBytes)) {
    return {FailureKind::kNotTrueColour, path,
            "not a 24-bit or 32-bit BMP: " + std::to_string(report.bitCount) + " bits per pixel",
            std::nullopt};
  }
  const std::string reason =
      NamesMidiFile(path) ? MidiFileAsInput(path) : UnsupportedPicture(report.firstBytes, fileSize);
  return {FailureKind::kUnsupportedPicture, path, reason, std::nullopt};
}

FailureKind PictureFailureKind(PictureStep step) {
  switch (step) {
    case PictureStep::kOpen:
    case PictureStep::kRead:
      return FailureKind::kUnreadablePicture;
    case PictureStep::kColumns:
    case PictureStep::kArea:
    case PictureStep::kMemory:
      return FailureKind::kPictureTooLarge;
    case PictureStep::kNoDecoder:
    case PictureStep::kUnsupported:
      return FailureKind::kUnsupportedPicture;
    case PictureStep::kNone:
    case PictureStep::kHeader:
    case PictureStep::kDecode:
      break;
  }
  return FailureKind::kDamagedPicture;
}

// How to raise the limit a picture was refused by.
std::string LimitHint(PictureStep step) {
  switch (step) {
    case PictureStep::kColumns:
      return "; raise it with " + std::string(RowOf(OptionId::kMaxColumns).LongName());
    case PictureStep::kArea:
      return "; raise it with " + std::string(RowOf(OptionId::kMaxArea).LongName());
    default:
      return {};
  }
}

Failure PictureFailure(const std::string& path, const PictureLoad& picture) {
  std::optional<IoResult> io;
  if (!picture.io.ok()) io = picture.io;
  return {PictureFailureKind(picture.failedStep), path,
          DescribePictureLoad(picture) + LimitHint(picture.failedStep), io};
}

Warning TruncatedPixels(const std::string& path, uint64_t missing) {
  return {WarningKind::kTruncatedPixels, path,
          path + ": the pixel data ends " + std::to_string(missing) +
              (missing == 1 ? " byte" : " bytes") + " early; the missing pixels are read as black"};
}

}  // namespace

std::unique_ptr<RandomBitSource> MakeBitSource(const SnapSource& source) {
  switch (source.mode) {
    case SnapMode::kUp:
      return std::make_unique<FixedBits>(1);
    case SnapMode::kDown:
      return std::make_unique<FixedBits>(0);
    case SnapMode::kRandom:
      break;
  }
  if (source.seed) return std::make_unique<SeededBits>(*source.seed);
  return std::make_unique<OsRandomBits>();
}

BatchSettings BatchSettingsFor(const ConverterOptions& options,
                               const ConversionSettings& settings) {
  DecodeLimits limits;
  limits.maxColumns = options.maxColumns.value_or(kDefaultMaxColumns);
  limits.maxPngPixels = options.maxArea.value_or(kDefaultMaxPngPixels);
  ConversionControls controls = ControlsFrom(options);
  limits.summarize = controls.reading.NeedsSummary();
  return {settings, std::move(controls), {options.snap, options.seed}, limits, {}};
}

std::optional<double> LengthSeconds(const SongSummary& song) {
  const auto ticks = static_cast<double>(song.lengthTicks);
  if (IsMillisecondTiming(song.timingMode)) return ticks / kMillisecondTicksPerSecond;
  const uint16_t division = song.division & kMaxDivision;
  if (division == 0 || song.quarterMicroseconds == 0) return std::nullopt;
  return BeatTicksToSeconds(ticks, division, song.quarterMicroseconds);
}

ConversionOutcome ConvertOne(const ConversionJob& job, const BatchSettings& batch,
                             PlannedOutputs& outputs) {
  ConversionOutcome outcome;
  if (job.conflict) {
    outcome.failure = job.conflict;
    return outcome;
  }
  // The picture is opened once, here, and read through this descriptor.
  ReadOnlyFile input;
  if (const IoResult opened = input.Open(job.inputPath); !opened) {
    outcome.failure = NamesMidiFile(job.inputPath)
                          ? Failure{FailureKind::kUnsupportedPicture, job.inputPath,
                                    MidiFileAsInput(job.inputPath), std::nullopt}
                          : Failure{FailureKind::kUnreadablePicture, job.inputPath,
                                    DescribeIoResult(opened), opened};
    return outcome;
  }
  if (std::optional<Failure> refused = FirstOutputRefused(job, batch.outputs.soundFontPath)) {
    outcome.failure = std::move(refused);
    return outcome;
  }

  ProgramState state;
  state.settings = batch.settings;
  state.controls = batch.controls;
  state.image.ClearBitmap();
  const std::unique_ptr<RandomBitSource> bits = MakeBitSource(batch.snap);
  outcome.report = RunConversion(job.inputPath, state, *bits,
                                 AnyPictureSource(batch.pictureLimits, &input), outputs);
  const RunReport& report = outcome.report;
  if (const uint64_t missing = report.picture.missingBytes; missing != 0) {
    outcome.warnings.push_back(TruncatedPixels(job.inputPath, missing));
  }
  for (Warning& warning : outputs.TakeWarnings()) outcome.warnings.push_back(std::move(warning));

  switch (report.status) {
    case RunStatus::kWritten:
      outcome.song = outputs.summary();
      // One column is as few as a song can have: its note alone may outlast the limit.
      if (const auto seconds = LengthSeconds(outcome.song);
          seconds && batch.controls.maxSeconds && *seconds > *batch.controls.maxSeconds) {
        outcome.warnings.push_back({WarningKind::kOneNoteTooLong, job.inputPath,
                                    job.inputPath + ": one note alone lasts longer than " +
                                        "--max-seconds allows; the song has that one note"});
      }
      break;
    case RunStatus::kCannotOpen:
    case RunStatus::kClaimsTooMuch:
    case RunStatus::kUndecodable:
      outcome.failure = PictureFailure(job.inputPath, report.picture);
      break;
    case RunStatus::kNot24Bit:
      outcome.failure = NotConvertible(job.inputPath, report, input.Size());
      break;
    case RunStatus::kCancelled:
    case RunStatus::kWriteFailed:
      outcome.failure = OutputFailure(job, report.outputs);
      break;
    case RunStatus::kOutOfMemory:
      outcome.failure =
          Failure{FailureKind::kOutOfMemory, job.inputPath, "not enough memory", std::nullopt};
      break;
  }
  return outcome;
}

}  // namespace pixorale::converter
