#include "app/converter/conversion_jobs.h"

#include <filesystem>
#include <map>

#include "app/converter/input_refusals.h"
#include "app/converter/output_conflicts.h"
#include "app/converter/output_descriptor.h"
#include "io/output_target.h"
#include "io/utf8_path.h"

namespace pixorale::converter {
namespace {

namespace fs = std::filesystem;

std::string OutputPathFor(const std::string& input, const ConverterOptions& options) {
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

// Inputs that would write one output are refused together: converting the first and failing
// the others would make the result depend on the order they were given in.
void RefuseSharedOutputs(std::vector<ConversionJob>& jobs) {
  std::map<std::string, std::vector<size_t>> jobsByOutput;
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (jobs[i].outputDescriptor || jobs[i].conflict) continue;
    jobsByOutput[ComparableForm(jobs[i].outputPath)].push_back(i);
  }
  for (const auto& [output, sharing] : jobsByOutput) {
    if (sharing.size() < 2) continue;
    for (const size_t i : sharing) {
      std::string others;
      for (const size_t j : sharing) {
        if (j == i) continue;
        others += (others.empty() ? "" : ", ") + jobs[j].inputPath;
      }
      ConversionJob& job = jobs[i];
      job.conflict =
          Failure{FailureKind::kOutputConflict, job.inputPath,
                  "its output " + job.outputPath + " is also the output of " + others +
                      (sharing.size() == 2 ? "; neither is converted" : "; none is converted"),
                  std::nullopt};
    }
  }
}

}  // namespace

std::vector<ConversionJob> PlanConversionJobs(const ConverterOptions& options) {
  std::vector<ConversionJob> jobs;
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
    if (std::string collision = OutputsCollide(job); !collision.empty()) {
      job.conflict =
          Failure{FailureKind::kOutputConflict, job.outputPath, std::move(collision), std::nullopt};
    }
    // "photo.bmp song.mid" without -o: song.mid would be its own output.
    if (NamesMidiFile(input) && ComparableForm(job.outputPath) == ComparableForm(input)) {
      job.conflict =
          Failure{FailureKind::kUnsupportedPicture, input, MidiFileAsInput(input), std::nullopt};
    }
    jobs.push_back(std::move(job));
  }
  RefuseSharedOutputs(jobs);
  return jobs;
}

}  // namespace pixorale::converter
