#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <ostream>
#include <vector>

#include "app/cli/progress_line.h"
#include "app/converter/conversion_jobs.h"
#include "app/converter/convert_one.h"
#include "app/converter/effective_settings.h"

namespace pixorale::cli {

// Prints each input's result in input order, as soon as it and every input before it are
// done, whichever worker finished them: errors on `err`, summaries on `out`.
class BatchReporter {
 public:
  BatchReporter(const std::vector<converter::ConversionJob>& jobs,
                const converter::UsedSettings& used, converter::ReportFormat format,
                std::ostream& out, std::ostream& err, ProgressLine& progress);

  // Safe to call from any thread.
  void Complete(size_t index, converter::ConversionOutcome outcome);
  size_t converted() const { return converted_; }
  size_t failures() const { return failures_; }

 private:
  void Print(size_t index, const converter::ConversionOutcome& outcome);

  const std::vector<converter::ConversionJob>& jobs_;
  const converter::UsedSettings& used_;
  converter::ReportFormat format_;
  std::ostream& out_;
  std::ostream& err_;
  ProgressLine& progress_;

  std::mutex mutex_;
  std::vector<std::optional<converter::ConversionOutcome>> waiting_;
  size_t nextToPrint_ = 0;
  size_t converted_ = 0;
  size_t failures_ = 0;
};

}  // namespace pixorale::cli
