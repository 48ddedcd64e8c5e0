#include "app/cli/cli_options.h"

#include <CLI/CLI.hpp>

#include "app/converter/given_options.h"
#include "app/converter/option_table.h"
#include "app/converter/program_name.h"
#include "app/ui_texts.h"

namespace pixorale::cli {
namespace {

using converter::GivenOption;
using converter::OptionKind;
using converter::OptionRow;

// The help shows each option with its argument only; the exclusions are told in words.
class HelpFormatter final : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* option) const override {
    if (option->get_positional()) return CLI::Formatter::make_option_opts(option);
    const std::string& type = option->get_type_name();
    return type.empty() ? std::string() : " " + type;
  }
};

std::string GroupTitle(converter::OptionGroup group) {
  switch (group) {
    case converter::OptionGroup::kMusical:
      return "Make it musical";
    case converter::OptionGroup::kHearAndSee:
      return "Hear and see";
    case converter::OptionGroup::kGeneral:
      break;
  }
  return "Options";
}

// ", WAV and piano roll": the files besides the MIDI file that the build can make.
std::string MadeFiles(const converter::BuildFeatures& build) {
  if (build.wavOutput && build.pianoRollOutput) return ", WAV and piano roll";
  if (build.wavOutput) return ", WAV";
  return build.pianoRollOutput ? ", piano roll" : "";
}

// Each value is checked by its row as CLI11 reads it, so a refusal is CLI11's usage error;
// the options are stored once all are known (OptionsFrom).
void Bind(CLI::App& app, const OptionRow& row, std::vector<GivenOption>& given,
          const converter::BuildFeatures& build) {
  std::string help = row.help;
  if (row.id == converter::OptionId::kInfo) help += MadeFiles(build);
  CLI::Option* option = nullptr;
  if (row.kind == OptionKind::kFlag) {
    option = app.add_flag_callback(
        row.names,
        [&given, id = row.id] {
          given.push_back({id, {}});
        },
        help);
  } else {
    option = app.add_option(
        row.names,
        [&given, id = row.id](const CLI::results_t& results) {
          given.push_back({id, results.front()});
          return true;
        },
        help);
    option->type_name(row.argument);
    if (row.kind != OptionKind::kText) {
      option->check(CLI::Validator(
          [&row](std::string& text) -> std::string {
            converter::ConverterOptions scratch;
            return row.store(scratch, text) ? std::string() : "'" + text + "' " + row.refusal;
          },
          ""));
    }
  }
  // An option for a feature the build lacks is still read, so that it can be refused
  // plainly, but left out of the help.
  option->group(converter::BuildHas(build, row.needs) ? GroupTitle(row.group) : "");
}

std::string UsageComplaint(const std::string& message) {
  return std::string(converter::kMessagePrefix) + message + "\nRun '" +
         std::string(converter::kProgram) + " --help' for more information.\n";
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err, const converter::BuildFeatures& build) {
  CLI::App app{"Turns pictures (" + converter::PictureKinds(build, ", ") +
                   ") into Standard MIDI Files: one melody\n"
                   "note per column.",
               std::string(converter::kProgram)};
  // "/name" options (CLI11's default on Windows) would take absolute paths for options.
  app.allow_windows_style_options(false);
  app.formatter(std::make_shared<HelpFormatter>());
  app.get_formatter()->column_width(26);
  app.failure_message(
      [](const CLI::App*, const CLI::Error& error) { return UsageComplaint(error.what()); });
  app.set_version_flag("--version", std::string(texts::kVersion), "Print the version and exit");
  app.footer(
      "Settings not given as options come from setting.set in the current directory\n"
      "(or the file of --settings), else from the defaults shown.\n"
      "Exit status: 0 every input converted, 1 an input or --save-settings failed,\n"
      "2 usage error, 130 or 143 interrupted (SIGINT, SIGTERM)." +
      std::string(build.wavOutput ? ""
                                  : "\nThis build does not play songs. To hear a picture, open "
                                    "the Pixorale web page\n(web/ in the source; bash "
                                    "scripts/serve-web.sh)."));

  std::vector<std::string> inputs;
  std::vector<GivenOption> given;
  app.add_option("INPUT", inputs, "Pictures to convert: " + converter::PictureKinds(build, " or "))
      ->type_name("FILE");
  for (const OptionRow& row : converter::OptionTable()) Bind(app, row, given, build);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error, out, err);
    return {std::nullopt, status == 0 ? kExitConverted : kExitUsage};
  }

  converter::Result<converter::ConverterOptions> options =
      converter::OptionsFrom(std::move(inputs), given, build);
  if (!options) {
    const converter::Failure& failure = options.failure();
    // What the build lacks is not a usage mistake that the help would explain.
    if (failure.kind == converter::FailureKind::kMissingFeature) {
      err << converter::kMessagePrefix << failure.Line() << '\n';
    } else {
      err << UsageComplaint(failure.Line());
    }
    return {std::nullopt, kExitUsage};
  }
  return {std::move(*options), kExitConverted};
}

}  // namespace pixorale::cli
