#include "app/cli/conversion_jobs.h"

#include <filesystem>
#include <map>

#include "app/cli/output_conflicts.h"
#include "app/cli/output_stream.h"
#include "io/output_target.h"
#include "io/utf8_path.h"

namespace pixorale::cli {
namespace {

namespace fs = std::filesystem;

std::string OutputPathFor(const std::string& input, const CliOptions& options) {
  if (options.output) return *options.output;
  fs::path output = PathFromUtf8(input);
  output.replace_extension(".mid");
  if (options.outputDirectory)
    return Utf8FromPath(PathFromUtf8(*options.outputDirectory) / output.filename());
  return Utf8FromPath(output);
}

// Two spellings of one file ("a.mid", "./a.mid", a link to it) compare equal; the file need
// not exist.
std::string ComparableForm(const std::string& path) {
  const std::string resolved = ComparablePath(ResolveOutputTarget(path));
  return resolved.empty() ? path : resolved;
}

std::optional<int> DescriptorOf(const std::optional<std::string>& path) {
  return path ? StandardStreamDescriptor(*path) : std::nullopt;
}

}  // namespace

std::vector<ConversionJob> PlanConversionJobs(const CliOptions& options) {
  std::vector<ConversionJob> jobs;
  std::map<std::string, std::string> firstInputByOutput;
  for (const std::string& input : options.inputs) {
    ConversionJob job;
    job.inputPath = input;
    job.outputPath = OutputPathFor(input, options);
    if (options.output) job.outputDescriptor = StandardStreamDescriptor(*options.output);
    job.force = options.force;
    job.wavPath = options.hearAndSee.wav;
    job.pianoRollPath = options.hearAndSee.pianoRoll;
    job.wavDescriptor = DescriptorOf(job.wavPath);
    job.pianoRollDescriptor = DescriptorOf(job.pianoRollPath);
    job.conflict = OutputsCollide(job);
    if (!job.outputDescriptor && job.conflict.empty()) {
      // Parallel jobs writing one file would race, and the later one would replace the
      // earlier's result even without --force.
      const auto [first, isNew] =
          firstInputByOutput.try_emplace(ComparableForm(job.outputPath), input);
      if (!isNew) job.conflict = "also the output of " + first->second + ", converted first";
    }
    jobs.push_back(std::move(job));
  }
  return jobs;
}

}  // namespace pixorale::cli
