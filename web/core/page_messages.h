#pragma once

#include <string>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/cli/convert_one.h"

namespace pixorale::web {

// A failure or a warning as the page is told it: a kind, one stable lowercase word the page
// words in its own language; what it is about (the picture's name, an option); and the
// converter's own line, unchanged, for those who read English and for reports.
struct PageMessage {
  std::string kind;
  std::string subject;
  std::string reason;
};

// Why the conversion of the picture at `picturePath` (shown as `shownName`) failed:
// unreadable-picture, damaged-picture, picture-too-large, unsupported-picture,
// not-true-colour, out-of-memory or core-failure.
PageMessage ConversionFailure(const cli::ConversionOutcome& outcome, const std::string& picturePath,
                              const std::string& shownName);

// The warnings about options that do something else than asked, one per line of
// cli::OptionWarnings: range-not-applied, silent-notes, tempo-inexact.
std::vector<PageMessage> OptionWarningMessages(const cli::SettingOverrides& overrides);

// The warnings about the picture converted all the same, one per line of the outcome's
// warnings: picture-cut-short, one-note-too-long.
std::vector<PageMessage> PictureWarningMessages(const cli::ConversionOutcome& outcome,
                                                const std::string& shownName);

}  // namespace pixorale::web
