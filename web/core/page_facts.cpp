#include "page_facts.h"

#include <nlohmann/json.hpp>

#include "app/converter/failure.h"
#include "app/converter/option_table.h"
#include "app/converter/program_name.h"
#include "app/ui_texts.h"
#include "convert/voices.h"
#include "page_conversion.h"
#include "render/loudness.h"
#include "render/wav_format.h"
#include "render/wav_render.h"

namespace pixorale::web {
namespace {

using Json = nlohmann::ordered_json;
using converter::OptionKind;
using converter::OptionRow;

std::string_view KindWord(OptionKind kind) {
  switch (kind) {
    case OptionKind::kFlag:
      return "flag";
    case OptionKind::kWhole:
      return "whole";
    case OptionKind::kDecimal:
      return "decimal";
    case OptionKind::kChoice:
      return "choice";
    case OptionKind::kBounds:
      return "bounds";
    case OptionKind::kText:
      break;
  }
  return "text";
}

std::string_view GroupWord(converter::OptionGroup group) {
  switch (group) {
    case converter::OptionGroup::kMusical:
      return "musical";
    case converter::OptionGroup::kHearAndSee:
      return "hear-and-see";
    case converter::OptionGroup::kGeneral:
      break;
  }
  return "general";
}

Json WordsJson(const converter::Words& words) {
  return {{"en", words.en}, {"ja", words.ja}};
}

Json NamesJson(const OptionRow& row) {
  Json names = Json::array();
  std::string_view all = row.names;
  while (!all.empty()) {
    const size_t comma = all.find(',');
    names.push_back(std::string(all.substr(0, comma)));
    all = comma == std::string_view::npos ? std::string_view() : all.substr(comma + 1);
  }
  return names;
}

Json Excluded(const OptionRow& row) {
  Json excluded = Json::array();
  for (const converter::Exclusion& exclusion : converter::Exclusions()) {
    if (exclusion.first == row.id)
      excluded.push_back(converter::RowOf(exclusion.second).LongName());
    if (exclusion.second == row.id)
      excluded.push_back(converter::RowOf(exclusion.first).LongName());
  }
  return excluded;
}

// Limits stay text: whole numbers reach 2^64 - 1, which a JavaScript number cannot hold.
Json OptionJson(const OptionRow& row) {
  Json option;
  option["name"] = row.LongName();
  option["names"] = NamesJson(row);
  option["kind"] = KindWord(row.kind);
  option["argument"] = row.argument;
  option["group"] = GroupWord(row.group);
  option["min"] = row.min.empty() ? Json(nullptr) : Json(row.min);
  option["max"] = row.max.empty() ? Json(nullptr) : Json(row.max);
  option["minExcluded"] = row.minExcluded;
  option["default"] = row.defaultValue.empty() ? Json(nullptr) : Json(row.defaultValue);
  Json choices = Json::array();
  for (const converter::Choice& choice : row.choices) {
    choices.push_back({{"value", choice.value}, {"label", WordsJson(choice.label)}});
  }
  option["choices"] = choices;
  option["excludes"] = Excluded(row);
  option["label"] = row.pageLabel ? WordsJson(*row.pageLabel) : Json(nullptr);
  option["report"] = row.reportKey.empty() ? Json(nullptr) : Json(row.reportKey);
  option["generalMidiProgram"] = row.generalMidiProgram;
  option["onlyWith"] =
      row.onlyWith ? Json(converter::RowOf(*row.onlyWith).LongName()) : Json(nullptr);
  return option;
}

Json Facts() {
  Json facts;
  facts["program"] = converter::kProgram;
  facts["version"] = texts::kVersion;
  Json options = Json::array();
  for (const OptionRow& row : converter::OptionTable()) options.push_back(OptionJson(row));
  facts["options"] = options;
  Json presets = Json::array();
  for (const converter::Preset& preset : converter::Presets()) {
    Json given = Json::array();
    for (const auto& [id, value] : preset.options) {
      given.push_back({converter::RowOf(id).LongName(), value});
    }
    presets.push_back(
        {{"name", preset.name}, {"label", WordsJson(preset.label)}, {"options", given}});
  }
  facts["presets"] = presets;
  facts["channels"] = {{"melody", kMelodyChannel}, {"chords", kChordChannel}};
  facts["noteRecord"] = kNoteFieldNames;
  facts["summary"] = kSummaryFieldNames;
  facts["wav"] = {{"sampleRate", kWavSampleRate},
                  {"channels", kWavChannels},
                  {"bitsPerSample", kWavBitsPerSample},
                  {"tailSeconds", kReleaseTailSeconds},
                  {"peakDbfs", kWavPeakDbfs}};
  Json failures = Json::array();
  for (int kind = 0; kind < converter::kFailureKindCount; ++kind) {
    failures.push_back(converter::KindName(static_cast<converter::FailureKind>(kind)));
  }
  facts["failureKinds"] = failures;
  Json warnings = Json::array();
  for (int kind = 0; kind < converter::kWarningKindCount; ++kind) {
    warnings.push_back(converter::KindName(static_cast<converter::WarningKind>(kind)));
  }
  facts["warningKinds"] = warnings;
  return facts;
}

}  // namespace

std::string PageFactsModule() {
  return "// Made from the converter's table of options when the page is built; do not edit.\n"
         "const facts = " +
         Facts().dump() +
         ";\n\n"
         "const frozen = (value) => {\n"
         "  if (value && typeof value === 'object') Object.values(value).forEach(frozen);\n"
         "  return Object.freeze(value);\n"
         "};\n"
         "export default frozen(facts);\n";
}

}  // namespace pixorale::web
