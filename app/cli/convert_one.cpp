#include "app/cli/convert_one.h"

#include <filesystem>

#include "app/cli/cli_ui.h"
#include "convert/os_random_bits.h"
#include "convert/seeded_bits.h"

namespace pixorale::cli {
namespace {

namespace fs = std::filesystem;

// The picture reader says only that it could not open or read; the file system says why.
std::string WhyNotReadable(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error) return "cannot be opened: " + error.message();
  if (fs::is_directory(status)) return "cannot be opened: it is a directory";
  if (!fs::is_regular_file(status)) return "cannot be opened: not a regular file";
  return "cannot be opened or read";
}

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
                             const SnapSource& snap) {
  ConversionOutcome outcome;
  if (!job.conflict.empty()) {
    Fail(outcome, job.outputPath, job.conflict);
    return outcome;
  }
  const std::string refusal = "already exists; use -f/--force to replace it";
  // Refused before converting, so a batch re-run skips finished work quickly.
  if (!job.toStandardOutput && !job.force && OutputExists(job.outputPath)) {
    Fail(outcome, job.outputPath, refusal);
    return outcome;
  }

  ProgramState state;
  state.settings = settings;
  state.image.ClearBitmap();
  const std::unique_ptr<RandomBitSource> bits = MakeBitSource(snap);
  CliUi ui(job);
  outcome.report = RunConversion(job.inputPath, state, *bits, ui);
  outcome.quarterMicroseconds = ui.quarterMicroseconds();

  const RunReport& report = outcome.report;
  switch (report.status) {
    case RunStatus::kWritten:
      outcome.converted = true;
      break;
    case RunStatus::kCannotOpen:
      Fail(outcome, job.inputPath, WhyNotReadable(job.inputPath));
      break;
    case RunStatus::kClaimsTooMuch:
      Fail(outcome, job.inputPath, "the header claims more pixel data than the file holds");
      break;
    case RunStatus::kUndecodable:
      Fail(outcome, job.inputPath, report.decodeError);
      break;
    case RunStatus::kNot24Bit:
      Fail(outcome, job.inputPath,
           WithMessages("not a 24-bit BMP: " + std::to_string(report.bitCount) + " bits per pixel",
                        ui));
      break;
    case RunStatus::kCancelled:
      Fail(outcome, job.outputPath, ui.refusedExistingOutput() ? refusal : "not written");
      break;
    case RunStatus::kWriteFailed: {
      std::string reason = "cannot be written";
      if (!ui.saveError().empty()) reason += ": " + ui.saveError();
      Fail(outcome, job.toStandardOutput ? "-" : job.outputPath, WithMessages(reason, ui));
      break;
    }
  }
  return outcome;
}

}  // namespace pixorale::cli
