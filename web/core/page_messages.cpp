#include "page_messages.h"

#include <cerrno>
#include <fstream>

#include "app/cli/option_warnings.h"
#include "image/picture_format.h"

namespace pixorale::web {
namespace {

// A file the BMP reader took but that is no 24-bit picture: a BMP of another depth, or no
// picture the converter knows.
std::string NotConvertibleKind(const std::string& picturePath) {
  std::vector<uint8_t> first(kSignatureBytes);
  std::ifstream file(picturePath, std::ios::binary);
  file.read(reinterpret_cast<char*>(first.data()), static_cast<std::streamsize>(first.size()));
  first.resize(static_cast<size_t>(file.gcount()));
  return HasBmpSignature(first) ? "not-true-colour" : "unsupported-picture";
}

std::string DecodeFailureKind(const PictureLoad& picture) {
  switch (picture.failedStep) {
    case PictureStep::kColumns:
    case PictureStep::kArea:
    case PictureStep::kMemory:
      return "picture-too-large";
    case PictureStep::kUnsupported:
    case PictureStep::kNoDecoder:
      return "unsupported-picture";
    default:
      return "damaged-picture";
  }
}

std::string FailureKind(const cli::ConversionOutcome& outcome, const std::string& picturePath) {
  switch (outcome.report.status) {
    case RunStatus::kCannotOpen:
      // Also a file that could not be opened at all, before anything was read.
      return outcome.report.picture.io.systemError == ENOMEM ? "out-of-memory"
                                                             : "unreadable-picture";
    case RunStatus::kClaimsTooMuch:
      return "damaged-picture";
    case RunStatus::kUndecodable:
      return DecodeFailureKind(outcome.report.picture);
    case RunStatus::kNot24Bit:
      return NotConvertibleKind(picturePath);
    case RunStatus::kOutOfMemory:
      return "out-of-memory";
    default:
      return "core-failure";  // the page writes no files, so nothing else can fail
  }
}

}  // namespace

PageMessage ConversionFailure(const cli::ConversionOutcome& outcome, const std::string& picturePath,
                              const std::string& shownName) {
  return {FailureKind(outcome, picturePath), shownName, outcome.errorReason};
}

std::vector<PageMessage> OptionWarningMessages(const cli::SettingOverrides& overrides) {
  // Each override alone, so that each line is known by what it is about.
  cli::SettingOverrides range;
  range.rangeGivenEmpty = overrides.rangeGivenEmpty;
  cli::SettingOverrides sustain;
  sustain.sustain = overrides.sustain;
  cli::SettingOverrides tempo;
  tempo.tempo = overrides.tempo;
  const struct {
    const char* kind;
    const char* subject;
    const cli::SettingOverrides& alone;
  } sources[] = {{"range-not-applied", "--range", range},
                 {"silent-notes", "--sustain", sustain},
                 {"tempo-inexact", "--tempo", tempo}};
  std::vector<PageMessage> messages;
  for (const auto& source : sources) {
    for (std::string& line : cli::OptionWarnings(source.alone)) {
      messages.push_back({source.kind, source.subject, std::move(line)});
    }
  }
  return messages;
}

std::vector<PageMessage> PictureWarningMessages(const cli::ConversionOutcome& outcome,
                                                const std::string& shownName) {
  std::vector<PageMessage> messages;
  // ConvertOne tells a short file first, then a note longer than the limit.
  const bool cutShort = outcome.report.picture.missingBytes != 0;
  for (size_t i = 0; i < outcome.warnings.size(); ++i) {
    const bool first = i == 0;
    messages.push_back({first && cutShort ? "picture-cut-short" : "one-note-too-long", shownName,
                        outcome.warnings[i]});
  }
  return messages;
}

}  // namespace pixorale::web
