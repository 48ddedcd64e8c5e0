#include "app/converter/job_outputs.h"

#include "io/atomic_file.h"
#include "midi/smf_writer.h"

namespace pixorale::converter {

std::optional<std::vector<OutputReport>> PlannedOutputs::Save(Song& song) {
  summary_ = Summarize(song);
  return Write(song);
}

std::vector<OutputReport> JobOutputs::Write(Song& song) {
  WriteOptions write = kMidiWriteOptions;
  write.existing = job_.force ? ExistingFile::kReplace : ExistingFile::kKeep;

  // What each render said, for a body that gave up.
  std::vector<OutputReport> reports{{OutputKind::kMidi, job_.outputPath, {}, {}}};
  std::vector<PlannedFile> files{{job_.outputPath, job_.outputDescriptor,
                                  [&song](std::ostream& out) { return WriteSong(song, out); },
                                  write}};
  if (job_.wavPath) {
    const size_t index = reports.size();
    reports.push_back({OutputKind::kWav, *job_.wavPath, {}, {}});
    files.push_back({*job_.wavPath, job_.wavDescriptor,
                     [&, index](std::ostream& out) {
                       WavRenderOptions options;
                       options.soundFontPath = settings_.soundFontPath;
                       options.gainDb = settings_.gainDb;
                       const std::string& path = *job_.wavPath;
                       if (settings_.renderProgress) {
                         options.progress = [&](double done) {
                           settings_.renderProgress(path, done);
                         };
                       }
                       const WavRenderResult result = settings_.renderers.wav(song, out, options);
                       if (settings_.renderProgress) settings_.renderProgress(path, -1.0);
                       // Normalising cannot make sound of nothing: the user would hear silence
                       // in a file said to be made.
                       if (result.ok() && result.silent) {
                         Warn({WarningKind::kSilentSong, path,
                               path + ": the song is silent; the SoundFont made no sound of it"});
                       }
                       reports[index].error = result.error;
                       return result.ok();
                     },
                     write});
  }
  if (job_.pianoRollPath) {
    const size_t index = reports.size();
    reports.push_back({OutputKind::kPianoRoll, *job_.pianoRollPath, {}, {}});
    files.push_back({*job_.pianoRollPath, job_.pianoRollDescriptor,
                     [&, index](std::ostream& out) {
                       const RenderResult drawn = settings_.renderers.pianoRoll(song, out);
                       reports[index].error = drawn.error;
                       return drawn.ok();
                     },
                     write});
  }

  if (settings_.beforeWriting) settings_.beforeWriting();
  const FilesResult written = WriteFilesTogether(files);
  if (written) return reports;
  for (size_t i = 0; i < reports.size(); ++i) {
    OutputReport& report = reports[i];
    if (i != written.failed) {
      report.error.clear();
      report.withheld = true;
      continue;
    }
    report.io = written.io;
    // A render that gave up says why; a file step that failed is told by the file layer.
    if (written.io.failedStep != IoStep::kBody || report.error.empty()) {
      report.error = DescribeIoResult(written.io);
    }
  }
  return reports;
}

Failure OutputFailure(const ConversionJob& job, const std::vector<OutputReport>& outputs) {
  for (const OutputReport& output : outputs) {
    if (output.ok() || output.withheld) continue;
    // A file that appeared since the check before converting is kept, and told alike.
    if (output.io.failedStep == IoStep::kExists) {
      return {FailureKind::kOutputExists, output.path, kRefusedExistingOutput, output.io};
    }
    const bool rendered = output.kind != OutputKind::kMidi;
    if (rendered && output.io.failedStep == IoStep::kBody) {
      return {FailureKind::kRenderFailed, output.path, output.error, std::nullopt};
    }
    const std::string path = !rendered && job.outputDescriptor ? "-" : output.path;
    return {FailureKind::kWriteFailed, path, output.error, output.io};
  }
  return {FailureKind::kWriteFailed, job.outputPath, "not written", std::nullopt};
}

}  // namespace pixorale::converter
