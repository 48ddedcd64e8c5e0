#include "page_conversion.h"

#include <filesystem>
#include <sstream>

#include "app/converter/conversion_jobs.h"
#include "app/converter/effective_settings.h"
#include "app/converter/given_options.h"
#include "app/converter/option_warnings.h"
#include "midi/smf_writer.h"
#include "render/song_timeline.h"

namespace pixorale::web {
namespace {

using converter::Failure;
using converter::FailureKind;

// The page's outputs: the file's bytes and the notes to draw, kept in memory.
class PageOutput final : public converter::PlannedOutputs {
 public:
  PageOutput(PageConversion& page, std::string midiName)
      : page_(page), midiName_(std::move(midiName)) {}

 private:
  std::vector<OutputReport> Write(Song& song) override {
    OutputReport report;
    report.path = midiName_;
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
      // The picture columns, once the run has said how it read the picture.
      page_.notes.insert(page_.notes.end(), kNoteFields - NoteField("firstColumn"), 0.0F);
    }
    return {report};
  }

  PageConversion& page_;
  std::string midiName_;
};

// Options that name files besides the picture have no place in the page.
std::optional<Failure> FileOptionRefused(const converter::ConverterOptions& options) {
  if (options.output || options.outputDirectory || options.settingsFile || options.saveSettings) {
    return Failure{FailureKind::kUsage,
                   {},
                   "the page reads and writes no files but the picture and its song",
                   std::nullopt};
  }
  return std::nullopt;
}

// The page names the picture as its user does, not by where the worker mounted it.
void NameAsShown(std::string& subject, const std::string& path, const std::string& shownName) {
  if (subject == path) subject = shownName;
}

}  // namespace

std::array<double, std::size(kSummaryFieldNames)> SummaryValues(const PageConversion& page) {
  const SongSummary& song = page.outcome.song;
  return {static_cast<double>(song.noteCount),
          static_cast<double>(song.trackCount),
          static_cast<double>(song.lengthTicks),
          page.seconds,
          static_cast<double>(song.lowestPitch),
          static_cast<double>(song.highestPitch),
          static_cast<double>(page.outcome.report.columns)};
}

PageConversion ConvertForPage(const std::string& picturePath, const std::string& shownName,
                              const std::vector<std::string>& options) {
  PageConversion page;
  const converter::Result<std::vector<converter::GivenOption>> given =
      converter::ReadOptionWords(options);
  if (!given) {
    page.failure = given.failure();
    return page;
  }
  // The page makes its sound and its roll itself.
  converter::BuildFeatures features = converter::ThisBuild();
  features.wavOutput = false;
  features.pianoRollOutput = false;
  const converter::Result<converter::ConverterOptions> parsed =
      converter::OptionsFrom({picturePath}, *given, features);
  if (!parsed) {
    page.failure = parsed.failure();
    return page;
  }
  if ((page.failure = FileOptionRefused(*parsed))) return page;
  const converter::Result<converter::LoadedSettings> loaded =
      converter::LoadEffectiveSettings(*parsed);
  if (!loaded) {
    page.failure = loaded.failure();
    return page;
  }
  page.warnings = converter::OptionWarnings(parsed->overrides);

  const converter::ConversionJob job = converter::PlanConversionJobs(*parsed).front();
  page.midiName = std::filesystem::path(job.outputPath).filename().string();
  const converter::BatchSettings batch = converter::BatchSettingsFor(*parsed, loaded->settings);
  PageOutput output(page, page.midiName);
  page.outcome = converter::ConvertOne(job, batch, output);
  for (converter::Warning& warning : page.outcome.warnings) {
    NameAsShown(warning.subject, picturePath, shownName);
    page.warnings.push_back(std::move(warning));
  }
  page.outcome.warnings.clear();
  if (page.outcome.failure) {
    page.failure = std::move(page.outcome.failure);
    NameAsShown(page.failure->subject, picturePath, shownName);
    page.midi.clear();
    page.notes.clear();
    return page;
  }
  const RunReport& report = page.outcome.report;
  AssignSourceColumns(page.notes, kNoteFields, NoteField("track"), NoteField("firstColumn"),
                      report.pictureWidth, report.columns, report.noteSources);
  // The musical reading reads the whole picture, not two of its rows.
  if (report.noteSources.empty()) {
    page.rowsRead = RowsRead(report.pictureHeight, report.firstRowOnTop);
  }
  return page;
}

}  // namespace pixorale::web
