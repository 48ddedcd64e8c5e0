#include "app/converter/output_conflicts.h"

#include <filesystem>

#include "app/converter/output_descriptor.h"
#include "io/output_target.h"
#include "io/utf8_path.h"

namespace pixorale::converter {
namespace {

namespace fs = std::filesystem;

std::string Refusal(const std::string& path, const std::string& inputPath,
                    const std::string& soundFontPath, bool force) {
  std::error_code error;
  const fs::path output = PathFromUtf8(path);
  if (fs::is_directory(fs::status(output, error))) return "is a directory";
  if (!fs::exists(fs::symlink_status(output, error))) return {};
  // Replacing an input with the music made of it would lose the input, --force or not.
  if (SameOutput(inputPath, path)) return "is the input picture; choose another output";
  if (!soundFontPath.empty() && SameOutput(soundFontPath, path)) {
    return "is the SoundFont; choose another output";
  }
  if (!force) return kRefusedExistingOutput;
  return {};
}

bool Same(const NamedOutput& a, const NamedOutput& b) {
  if (a.descriptor || b.descriptor) return a.descriptor == b.descriptor;
  return SameOutput(a.path, b.path);
}

}  // namespace

bool SameNamedOutput(const std::string& a, const std::string& b) {
  return Same({a, "", StandardStreamDescriptor(a)}, {b, "", StandardStreamDescriptor(b)});
}

std::vector<NamedOutput> OutputsOf(const ConversionJob& job) {
  std::vector<NamedOutput> outputs{{job.outputPath, "-o", job.outputDescriptor}};
  if (job.wavPath) outputs.push_back({*job.wavPath, "--wav", job.wavDescriptor});
  if (job.pianoRollPath) {
    outputs.push_back({*job.pianoRollPath, "--piano-roll", job.pianoRollDescriptor});
  }
  return outputs;
}

std::string OutputsCollide(const ConversionJob& job) {
  const std::vector<NamedOutput> outputs = OutputsOf(job);
  for (size_t later = 1; later < outputs.size(); ++later) {
    for (size_t earlier = 0; earlier < later; ++earlier) {
      if (Same(outputs[earlier], outputs[later])) {
        return std::string("also named by ") + outputs[later].option;
      }
    }
  }
  return {};
}

std::optional<Failure> FirstOutputRefused(const ConversionJob& job,
                                          const std::string& soundFontPath) {
  for (const NamedOutput& output : OutputsOf(job)) {
    if (output.descriptor) continue;
    if (std::string reason = Refusal(output.path, job.inputPath, soundFontPath, job.force);
        !reason.empty()) {
      const FailureKind kind = reason == kRefusedExistingOutput ? FailureKind::kOutputExists
                                                                : FailureKind::kOutputRefused;
      return Failure{kind, output.path, std::move(reason), std::nullopt};
    }
  }
  return std::nullopt;
}

}  // namespace pixorale::converter
