#include "app/cli/batch_reporter.h"

#include "app/converter/program_name.h"
#include "app/converter/result_report.h"

namespace pixorale::cli {

using converter::ConversionOutcome;
using converter::ReportFormat;

BatchReporter::BatchReporter(const std::vector<converter::ConversionJob>& jobs,
                             const converter::UsedSettings& used, ReportFormat format,
                             std::ostream& out, std::ostream& err, ProgressLine& progress)
    : jobs_(jobs),
      used_(used),
      format_(format),
      out_(out),
      err_(err),
      progress_(progress),
      waiting_(jobs.size()) {}

void BatchReporter::Complete(size_t index, ConversionOutcome outcome) {
  const std::lock_guard lock(mutex_);
  ++(outcome.converted() ? converted_ : failures_);
  waiting_[index] = std::move(outcome);
  while (nextToPrint_ < waiting_.size() && waiting_[nextToPrint_]) {
    Print(nextToPrint_, *waiting_[nextToPrint_]);
    waiting_[nextToPrint_].reset();  // a long batch need not keep what it has printed
    ++nextToPrint_;
  }
  if (converted_ + failures_ < waiting_.size()) {
    progress_.Show(converted_, failures_);
  } else {
    progress_.Clear();
  }
}

void BatchReporter::Print(size_t index, const ConversionOutcome& outcome) {
  const converter::ConversionJob& job = jobs_[index];
  if (!outcome.warnings.empty() || outcome.failure) progress_.Clear();
  for (const converter::Warning& warning : outcome.warnings) {
    err_ << converter::WarningLine(warning) << '\n';
  }
  if (outcome.failure) err_ << converter::ErrorLine(*outcome.failure) << '\n';
  err_ << std::flush;
  switch (format_) {
    case ReportFormat::kInfo:
      if (outcome.converted()) out_ << converter::InfoLine(job, outcome) << '\n';
      break;
    case ReportFormat::kJson:
      out_ << converter::JsonLine(job, outcome, used_) << '\n';
      break;
    case ReportFormat::kNone:
      break;
  }
  out_ << std::flush;
}

}  // namespace pixorale::cli
