#include "app/cli/job_outputs.h"

#include "app/cli/render_progress.h"
#include "io/atomic_file.h"
#include "midi/smf_writer.h"
#include "render/piano_roll.h"
#include "render/wav_render.h"

namespace pixorale::cli {

std::vector<OutputReport> JobOutputs::Write(Song& song, const std::string& savePath) {
  WriteOptions write = kMidiWriteOptions;
  write.existing = job_.force ? ExistingFile::kReplace : ExistingFile::kKeep;

  // What each render said, for a body that gave up.
  std::vector<OutputReport> reports{{OutputKind::kMidi, savePath, {}, {}}};
  std::vector<PlannedFile> files{{savePath, job_.outputDescriptor,
                                  [&song](std::ostream& out) { return WriteSong(song, out); },
                                  write}};
  if (job_.wavPath) {
    const size_t index = reports.size();
    reports.push_back({OutputKind::kWav, *job_.wavPath, {}, {}});
    files.push_back({*job_.wavPath, job_.wavDescriptor,
                     [&, index](std::ostream& out) {
                       WavRenderOptions options;
                       options.soundFontPath = render_.soundFontPath;
                       options.gainDb = render_.gainDb;
                       RenderProgress progress(streams_.err, render_.showProgress, *job_.wavPath);
                       options.progress = [&progress](double done) { progress.Show(done); };
                       const WavRenderResult result = RenderSongToWav(song, out, options);
                       progress.Clear();
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
                       const RenderResult drawn = DrawPianoRoll(song, out);
                       reports[index].error = drawn.error;
                       return drawn.ok();
                     },
                     write});
  }

  streams_.out.flush();  // anything printed before stays before bytes sent to standard output
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

}  // namespace pixorale::cli
