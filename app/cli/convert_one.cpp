#include "app/cli/convert_one.h"

#include "app/cli/job_outputs.h"
#include "app/cli/output_conflicts.h"
#include "convert/os_random_bits.h"
#include "convert/seeded_bits.h"
#include "image/any_picture_source.h"
#include "image/picture_format.h"
#include "io/read_only_file.h"

namespace pixorale::cli {
namespace {

// The run's prompts answered from the command line: the save prompt gives the planned
// output, and messages are kept for the error line.
class JobPrompts final : public ConversionUi {
 public:
  explicit JobPrompts(const ConversionJob& job) : job_(job) {}

  std::optional<std::string> PromptOpenFile(const FileFilter&, std::string_view) override {
    return std::nullopt;  // the inputs come from the command line
  }
  std::optional<std::string> PromptSaveFile(const FileFilter&, std::string_view) override {
    return job_.outputPath;
  }
  void ShowMessage(std::string_view text, std::string_view) override {
    messages_.emplace_back(text);
  }

  // The English reason, then the text the desktop program would have shown.
  std::string WithMessages(std::string reason) const {
    for (const std::string& message : messages_) reason += " (" + message + ")";
    return reason;
  }

 private:
  const ConversionJob& job_;
  std::vector<std::string> messages_;
};

void Fail(ConversionOutcome& outcome, const std::string& path, std::string reason) {
  outcome.converted = false;
  outcome.errorPath = path;
  outcome.errorReason = std::move(reason);
}

// Why a picture the reader took but the conversion refused is not a 24-bit BMP.
std::string NotConvertible(const ProgramState& state, const RunReport& report,
                           const JobPrompts& prompts) {
  const std::span<const uint8_t> firstBytes(state.image.headerScratch);
  if (!HasBmpSignature(firstBytes)) {
    const std::string_view other = PictureFormatName(firstBytes);
    return other.empty() ? "not a BMP picture"
                         : "not a BMP picture: it is a " + std::string(other) + " picture";
  }
  return prompts.WithMessages("not a 24-bit BMP: " + std::to_string(report.bitCount) +
                              " bits per pixel");
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
                                                  const std::vector<OutputReport>& outputs,
                                                  const JobPrompts& prompts) {
  for (const OutputReport& output : outputs) {
    if (output.ok() || output.withheld) continue;
    // A file that appeared since the check before converting is kept, and told alike.
    if (output.io.failedStep == IoStep::kExists) return {output.path, kRefusedExistingOutput};
    if (output.kind != OutputKind::kMidi) return {output.path, output.error};
    return {job.outputDescriptor ? "-" : output.path, prompts.WithMessages(output.error)};
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

ConversionOutcome ConvertOne(const ConversionJob& job, const BatchSettings& batch,
                             const CliStreams& streams) {
  ConversionOutcome outcome;
  if (!job.conflict.empty()) {
    Fail(outcome, job.outputPath, job.conflict);
    return outcome;
  }
  // The picture is opened once, here, and read through this descriptor.
  ReadOnlyFile input;
  if (const IoResult opened = input.Open(job.inputPath); !opened) {
    Fail(outcome, job.inputPath, DescribeIoResult(opened));
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
  JobOutputs outputs(job, batch.render, streams);
  outcome.report = RunConversion(job.inputPath, state, *bits, prompts,
                                 AnyPictureSource(batch.pictureLimits, &input), outputs);

  const RunReport& report = outcome.report;
  switch (report.status) {
    case RunStatus::kWritten:
      outcome.converted = true;
      break;
    case RunStatus::kCannotOpen:
    case RunStatus::kClaimsTooMuch:
    case RunStatus::kUndecodable:
      Fail(outcome, job.inputPath,
           DescribePictureLoad(report.picture) + LimitHint(report.picture.failedStep));
      break;
    case RunStatus::kNot24Bit:
      Fail(outcome, job.inputPath, NotConvertible(state, report, prompts));
      break;
    case RunStatus::kCancelled:
      Fail(outcome, job.outputPath, "not written");
      break;
    case RunStatus::kWriteFailed: {
      auto [path, reason] = OutputFailure(job, report.outputs, prompts);
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
