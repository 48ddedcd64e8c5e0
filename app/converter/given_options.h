#pragma once

#include <string>
#include <vector>

#include "app/converter/converter_options.h"
#include "app/converter/failure.h"
#include "app/converter/option_table.h"
#include "app/converter/this_build.h"

namespace pixorale::converter {

// One option as given: its row and its value (empty for a flag).
struct GivenOption {
  OptionId id;
  std::string value;
};

// The options as one whole, from the inputs and the options given (in the order given): the
// preset's first, then each given one. Refused when a value is not one its option takes, two
// options exclude each other, an option needs what the build lacks, or the options cannot
// work together.
Result<ConverterOptions> OptionsFrom(std::vector<std::string> inputs,
                                     const std::vector<GivenOption>& given,
                                     const BuildFeatures& build = ThisBuild());

// Options written as words ("--seed", "7", "--chords"), each by one of its names, a value in
// the word after its name: how the page gives them.
Result<std::vector<GivenOption>> ReadOptionWords(const std::vector<std::string>& words);

}  // namespace pixorale::converter
