#include "app/cli/job_outputs.h"

#include "app/cli/render_progress.h"
#include "io/atomic_file.h"
#include "midi/smf_writer.h"
#include "render/piano_roll.h"
#include "render/wav_render.h"

namespace pixorale::cli {
namespace {

WriteOptions WriteOptionsFor(const ConversionJob& job) {
  WriteOptions options = kMidiWriteOptions;
  options.existing = job.force ? ExistingFile::kReplace : ExistingFile::kKeep;
  return options;
}

OutputReport FromRender(OutputKind kind, const std::string& path, const RenderResult& result) {
  return {kind, path, result.io, result.error};
}

}  // namespace

std::vector<OutputReport> JobOutputs::Write(Song& song, const std::string& savePath) {
  std::vector<OutputReport> reports{WriteMidi(song, savePath)};
  if (reports.back().ok() && job_.wavPath) reports.push_back(WriteWav(song, *job_.wavPath));
  if (reports.back().ok() && job_.pianoRollPath) {
    reports.push_back(DrawRoll(song, *job_.pianoRollPath));
  }
  return reports;
}

OutputReport JobOutputs::WriteMidi(Song& song, const std::string& savePath) const {
  OutputReport report{OutputKind::kMidi, savePath, {}, {}};
  if (job_.outputDescriptor) {
    streams_.out.flush();  // anything printed before stays before the MIDI bytes
    report.io = WriteToDescriptor(*job_.outputDescriptor,
                                  [&song](std::ostream& out) { return WriteSong(song, out); });
  } else {
    report.io = WriteSongFile(song, savePath, WriteOptionsFor(job_));
  }
  if (!report.io.ok()) report.error = DescribeIoResult(report.io);
  return report;
}

OutputReport JobOutputs::WriteWav(const Song& song, const std::string& path) const {
  WavRenderOptions options;
  options.write = WriteOptionsFor(job_);
  options.soundFontPath = render_.soundFontPath;
  RenderProgress progress(streams_.err, render_.showProgress, path);
  options.progress = [&progress](double done) { progress.Show(done); };
  const WavRenderResult result = RenderSongToWav(song, path, options);
  progress.Clear();
  return FromRender(OutputKind::kWav, path, result);
}

OutputReport JobOutputs::DrawRoll(const Song& song, const std::string& path) const {
  return FromRender(OutputKind::kPianoRoll, path, DrawPianoRoll(song, path, WriteOptionsFor(job_)));
}

}  // namespace pixorale::cli
