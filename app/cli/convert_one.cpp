#include "app/cli/convert_one.h"

#include "app/cli/effective_settings.h"
#include "app/cli/input_refusals.h"
#include "app/cli/job_outputs.h"
#include "app/cli/output_conflicts.h"
#include "app/cli/result_report.h"
#include "convert/os_random_bits.h"
#include "convert/seeded_bits.h"
#include "image/any_picture_source.h"
#include "image/picture_format.h"
#include "io/read_only_file.h"

namespace pixorale::cli {
namespace {

// The run's prompts answered from the command line: the save prompt gives the planned
// output. The desktop program's messages are not shown: the error lines say it in English.
class JobPrompts final : public ConversionUi {
 public:
  explicit JobPrompts(const ConversionJob& job) : job_(job) {}

  std::optional<std::string> PromptOpenFile(const FileFilter&, std::string_view) override {
    return std::nullopt;  // the inputs come from the command line
  }
  std::optional<std::string> PromptSaveFile(const FileFilter&, std::string_view) override {
    return job_.outputPath;
  }
  void ShowMessage(std::string_view, std::string_view) override {}

 private:
  const ConversionJob& job_;
};

void Fail(ConversionOutcome& outcome, const std::string& path, std::string reason) {
  outcome.converted = false;
  outcome.errorPath = path;
  outcome.errorReason = std::move(reason);
}

// Why a file the BMP reader took but the conversion refused cannot be converted. The
// header's first bytes are the file's, so they tell a GIF or a text file from a BMP.
std::string NotConvertible(const std::string& path, const ProgramState& state,
                           const RunReport& report, uint64_t fileSize) {
  const std::span<const uint8_t> firstBytes(state.image.headerScratch);
  if (HasBmpSignature(firstBytes)) {
    return "not a 24-bit or 32-bit BMP: " + std::to_string(report.bitCount) + " bits per pixel";
  }
  if (NamesMidiFile(path)) return MidiFileAsInput(path);
  return UnsupportedPicture(firstBytes, fileSize);
}

// How to raise the limit a picture was refused by.
std::string LimitHint(PictureStep step) {
  switch (step) {
    case PictureStep::kColumns:
      return "; raise it with " + std::string(kMaxColumnsOption);
    case PictureStep::kArea:
      return "; raise it with " + std::string(kMaxAreaOption);
    default:
      return {};
  }
}

// The first output that failed: the file it is about, and why.
std::pair<std::string, std::string> OutputFailure(const ConversionJob& job,
                                                  const std::vector<OutputReport>& outputs) {
  for (const OutputReport& output : outputs) {
    if (output.ok() || output.withheld) continue;
    // A file that appeared since the check before converting is kept, and told alike.
    if (output.io.failedStep == IoStep::kExists) return {output.path, kRefusedExistingOutput};
    if (output.kind != OutputKind::kMidi) return {output.path, output.error};
    return {job.outputDescriptor ? "-" : output.path, output.error};
  }
  return {job.outputPath, "not written"};
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

BatchSettings BatchSettingsFor(const CliOptions& options, const ConversionSettings& settings,
                               RenderSettings render) {
  DecodeLimits limits;
  limits.maxColumns = options.maxColumns.value_or(kDefaultMaxColumns);
  limits.maxPngPixels = options.maxArea.value_or(kDefaultMaxPngPixels);
  ConversionControls controls = ControlsFrom(options);
  limits.summarize = controls.reading.NeedsSummary();
  return {settings, std::move(controls), {options.snap, options.seed}, std::move(render), limits};
}

ConversionOutcome ConvertOne(const ConversionJob& job, const BatchSettings& batch,
                             const CliStreams& streams) {
  JobOutputs outputs(job, batch.render, streams);
  return ConvertOne(job, batch, outputs);
}

ConversionOutcome ConvertOne(const ConversionJob& job, const BatchSettings& batch,
                             SongOutputs& outputs) {
  ConversionOutcome outcome;
  if (!job.conflict.empty()) {
    Fail(outcome, job.conflictPath, job.conflict);
    return outcome;
  }
  // The picture is opened once, here, and read through this descriptor.
  ReadOnlyFile input;
  if (const IoResult opened = input.Open(job.inputPath); !opened) {
    Fail(outcome, job.inputPath,
         NamesMidiFile(job.inputPath) ? MidiFileAsInput(job.inputPath) : DescribeIoResult(opened));
    return outcome;
  }
  if (const auto refused = FirstOutputRefused(job, batch.render.soundFontPath)) {
    Fail(outcome, refused->path, refused->reason);
    return outcome;
  }

  ProgramState state;
  state.settings = batch.settings;
  state.controls = batch.controls;
  state.image.ClearBitmap();
  const std::unique_ptr<RandomBitSource> bits = MakeBitSource(batch.snap);
  JobPrompts prompts(job);
  outcome.report = RunConversion(job.inputPath, state, *bits, prompts,
                                 AnyPictureSource(batch.pictureLimits, &input), outputs);

  const RunReport& report = outcome.report;
  if (const uint64_t missing = report.picture.missingBytes; missing != 0) {
    outcome.warnings.push_back(job.inputPath + ": the pixel data ends " + std::to_string(missing) +
                               (missing == 1 ? " byte" : " bytes") +
                               " early; the missing pixels are read as black");
  }
  switch (report.status) {
    case RunStatus::kWritten:
      outcome.converted = true;
      // One column is as few as a song can have: its note alone may outlast the limit.
      if (const auto seconds = LengthSeconds(outcome, batch.settings);
          seconds && batch.controls.maxSeconds && *seconds > *batch.controls.maxSeconds) {
        outcome.warnings.push_back(job.inputPath + ": one note alone lasts longer than " +
                                   "--max-seconds allows; the song has that one note");
      }
      break;
    case RunStatus::kCannotOpen:
    case RunStatus::kClaimsTooMuch:
    case RunStatus::kUndecodable:
      Fail(outcome, job.inputPath,
           DescribePictureLoad(report.picture) + LimitHint(report.picture.failedStep));
      break;
    case RunStatus::kNot24Bit:
      Fail(outcome, job.inputPath, NotConvertible(job.inputPath, state, report, input.Size()));
      break;
    case RunStatus::kCancelled:
      Fail(outcome, job.outputPath, "not written");
      break;
    case RunStatus::kWriteFailed: {
      auto [path, reason] = OutputFailure(job, report.outputs);
      Fail(outcome, path, std::move(reason));
      break;
    }
    case RunStatus::kOutOfMemory:
      Fail(outcome, job.inputPath, "not enough memory");
      break;
  }
  return outcome;
}

}  // namespace pixorale::cli
