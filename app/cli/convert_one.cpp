#include "app/cli/convert_one.h"

#include "app/cli/cli_ui.h"
#include "app/cli/output_conflicts.h"
#include "convert/os_random_bits.h"
#include "convert/seeded_bits.h"
#include "image/picture_format.h"
#include "io/read_only_file.h"

namespace pixorale::cli {
namespace {

// The English reason, then the text the desktop program would have shown.
std::string WithMessages(std::string reason, const CliUi& ui) {
  for (const std::string& message : ui.messages()) reason += " (" + message + ")";
  return reason;
}

void Fail(ConversionOutcome& outcome, const std::string& path, std::string reason) {
  outcome.converted = false;
  outcome.errorPath = path;
  outcome.errorReason = std::move(reason);
}

// Why a picture the reader took but the conversion refused is not a 24-bit BMP.
std::string NotConvertible(const ProgramState& state, const RunReport& report, const CliUi& ui) {
  const std::span<const uint8_t> firstBytes(state.image.headerScratch);
  if (!HasBmpSignature(firstBytes)) {
    const std::string_view other = PictureFormatName(firstBytes);
    return other.empty() ? "not a BMP picture"
                         : "not a BMP picture: it is a " + std::string(other) + " picture";
  }
  return WithMessages("not a 24-bit BMP: " + std::to_string(report.bitCount) + " bits per pixel",
                      ui);
}

std::string SaveFailure(const IoResult& result, const CliUi& ui) {
  if (result.failedStep == IoStep::kExists) return kRefusedExistingOutput;
  return WithMessages(DescribeIoResult(result), ui);
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

ConversionOutcome ConvertOne(const ConversionJob& job, const ConversionSettings& settings,
                             const SnapSource& snap, const RenderSettings& render) {
  ConversionOutcome outcome;
  if (!job.conflict.empty()) {
    Fail(outcome, job.outputPath, job.conflict);
    return outcome;
  }
  if (const IoResult opened = ReadOnlyFile().Open(job.inputPath); !opened) {
    Fail(outcome, job.inputPath, DescribeIoResult(opened));
    return outcome;
  }
  if (const auto refused = FirstOutputRefused(job, render.soundFontPath)) {
    Fail(outcome, refused->path, refused->reason);
    return outcome;
  }

  ProgramState state;
  state.settings = settings;
  state.image.ClearBitmap();
  const std::unique_ptr<RandomBitSource> bits = MakeBitSource(snap);
  CliUi ui(job, render);
  outcome.report = RunConversion(job.inputPath, state, *bits, ui);

  const RunReport& report = outcome.report;
  switch (report.status) {
    case RunStatus::kWritten:
      if (const auto& failure = ui.extraFailure()) {
        Fail(outcome, failure->path, failure->reason);
        break;
      }
      outcome.converted = true;
      break;
    case RunStatus::kCannotOpen:
      Fail(outcome, job.inputPath, DescribeIoResult(report.loadError));
      break;
    case RunStatus::kClaimsTooMuch:
      Fail(outcome, job.inputPath, "the header claims more pixel data than the file holds");
      break;
    case RunStatus::kUndecodable:
      Fail(outcome, job.inputPath, report.decodeError);
      break;
    case RunStatus::kNot24Bit:
      Fail(outcome, job.inputPath, NotConvertible(state, report, ui));
      break;
    case RunStatus::kCancelled:
      Fail(outcome, job.outputPath, "not written");
      break;
    case RunStatus::kWriteFailed:
      Fail(outcome, job.outputDescriptor ? "-" : job.outputPath, SaveFailure(ui.saveResult(), ui));
      break;
  }
  return outcome;
}

}  // namespace pixorale::cli
