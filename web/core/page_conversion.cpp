#include "page_conversion.h"

#include <filesystem>
#include <sstream>

#include "app/cli/cli_options.h"
#include "app/cli/conversion_jobs.h"
#include "app/cli/convert_one.h"
#include "app/cli/effective_settings.h"
#include "app/cli/option_warnings.h"
#include "app/cli/program_name.h"
#include "midi/smf_writer.h"
#include "render/song_timeline.h"

namespace pixorale::web {
namespace {

// The page's output: the file's bytes and the notes to draw, kept in memory.
class PageOutput final : public SongOutputs {
 public:
  explicit PageOutput(PageConversion& page) : page_(page) {}

  std::vector<OutputReport> Write(Song& song, const std::string& savePath) override {
    OutputReport report;
    report.path = savePath;
    std::ostringstream bytes;
    if (!WriteSong(song, bytes)) {
      report.error = "the song could not be written";
      return {report};
    }
    page_.midi = std::move(bytes).str();
    const SongNotes notes = CollectNotes(song);
    page_.seconds = notes.lengthSeconds;
    page_.notes.reserve(notes.notes.size() * kNoteFields);
    for (const NoteSpan& note : notes.notes) {
      page_.notes.push_back(static_cast<float>(note.start));
      page_.notes.push_back(static_cast<float>(note.end));
      page_.notes.push_back(static_cast<float>(note.pitch));
      page_.notes.push_back(static_cast<float>(note.velocity));
      page_.notes.push_back(static_cast<float>(note.track));
      page_.notes.insert(page_.notes.end(), kNoteFields - kNoteColumnField, 0.0F);
    }
    return {report};
  }

 private:
  PageConversion& page_;
};

// The converter's lines without its name: the page says whose they are.
std::string WithoutProgramName(std::string line) {
  const std::string_view prefix = cli::kMessagePrefix;
  if (line.starts_with(prefix)) line.erase(0, prefix.size());
  return line;
}

std::string FirstLine(const std::string& text) {
  return WithoutProgramName(text.substr(0, text.find('\n')));
}

PageMessage OptionFailure(std::string reason) {
  return {"option-value", {}, std::move(reason)};
}

// Options that name files besides the picture have no place in the page.
std::string FileOptionRefused(const cli::CliOptions& options) {
  if (options.inputs.size() != 1) return "the page converts one picture at a time";
  if (options.output || options.outputDirectory || options.settingsFile || options.saveSettings) {
    return "the page reads and writes no files but the picture and its song";
  }
  return {};
}

}  // namespace

PageConversion ConvertForPage(const std::string& picturePath,
                              const std::vector<std::string>& options) {
  PageConversion page;
  std::vector<std::string> arguments{std::string(cli::kProgram), picturePath};
  arguments.insert(arguments.end(), options.begin(), options.end());
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);

  // The page makes its sound and its roll itself.
  cli::BuildFeatures features = cli::ThisBuild();
  features.wavOutput = false;
  features.pianoRollOutput = false;
  std::ostringstream out;
  std::ostringstream err;
  const cli::ParsedCommandLine parsed =
      cli::ParseCommandLine(static_cast<int>(argv.size() - 1), argv.data(), out, err, features);
  if (!parsed.options) {
    page.error = OptionFailure(FirstLine(err.str().empty() ? out.str() : err.str()));
    return page;
  }
  const cli::CliOptions& parsedOptions = *parsed.options;
  if (std::string refused = FileOptionRefused(parsedOptions); !refused.empty()) {
    page.error = OptionFailure(std::move(refused));
    return page;
  }
  const cli::LoadedSettings loaded = cli::LoadEffectiveSettings(parsedOptions);
  if (!loaded.error.empty()) {
    page.error = OptionFailure(loaded.error);
    return page;
  }
  page.warnings = OptionWarningMessages(parsedOptions.overrides);

  const cli::ConversionJob job = cli::PlanConversionJobs(parsedOptions).front();
  page.midiName = std::filesystem::path(job.outputPath).filename().string();
  const cli::BatchSettings batch = cli::BatchSettingsFor(parsedOptions, loaded.settings, {});
  PageOutput output(page);
  cli::ConversionOutcome outcome = cli::ConvertOne(job, batch, output);
  // The page names the picture as its user does, not by where the worker mounted it.
  const std::string shownName = std::filesystem::path(picturePath).filename().string();
  for (std::string& warning : outcome.warnings) {
    if (warning.starts_with(picturePath)) warning.replace(0, picturePath.size(), shownName);
  }
  for (PageMessage& warning : PictureWarningMessages(outcome, shownName)) {
    page.warnings.push_back(std::move(warning));
  }
  page.report = outcome.report;
  page.converted = outcome.converted;
  if (!outcome.converted) {
    page.error = ConversionFailure(outcome, picturePath, shownName);
    page.midi.clear();
    page.notes.clear();
    return page;
  }
  const RunReport& report = page.report;
  AssignSourceColumns(page.notes, kNoteFields, kNoteTrackField, kNoteColumnField,
                      report.pictureWidth, report.columns);
  page.rowsRead = RowsRead(report.pictureHeight, report.firstRowOnTop);
  return page;
}

}  // namespace pixorale::web
