#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/conversion_ui.h"

namespace pixorale::test {

// Answers the run's prompts from queues and records every prompt and message, in order.
class ScriptedUi : public ConversionUi {
 public:
  struct Message {
    std::string text;
    std::string caption;
    bool operator==(const Message&) const = default;
  };
  struct Prompt {
    std::string kind;  // "open" or "save"
    std::string filterName;
    std::string filterPattern;
    std::string defaultExtension;
  };

  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::vector<Prompt> prompts;
  std::vector<Message> messages;

  std::optional<std::string> PromptOpenFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override {
    return Answer("open", openAnswers, filter, defaultExtension);
  }
  std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override {
    return Answer("save", saveAnswers, filter, defaultExtension);
  }
  void ShowMessage(std::string_view text, std::string_view caption) override {
    messages.push_back({std::string(text), std::string(caption)});
  }

 private:
  std::optional<std::string> Answer(const char* kind, std::deque<std::optional<std::string>>& queue,
                                    const FileFilter& filter, std::string_view defaultExtension) {
    prompts.push_back({kind, std::string(filter.displayName), std::string(filter.pattern),
                       std::string(defaultExtension)});
    if (queue.empty()) return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace pixorale::test
