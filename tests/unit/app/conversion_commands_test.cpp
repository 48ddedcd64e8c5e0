#include "app/conversion_commands.h"

#include <gtest/gtest.h>

#include "convert/random_bits.h"
#include "support/bmp_builder.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

using test::ScriptedUi;

// A user interface whose save prompt, while it is open, lets the user try a second Open and
// a second drop on the still-enabled main window.
class ImpatientUi : public ScriptedUi {
 public:
  ConversionCommands* commands = nullptr;
  std::string droppedMeanwhile;
  bool convertingDuringPrompt = false;

  std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override {
    convertingDuringPrompt = commands->IsConverting();
    commands->OpenPicture();
    commands->ConvertDroppedFile(droppedMeanwhile);
    return ScriptedUi::PromptSaveFile(filter, defaultExtension);
  }
};

class ConversionCommandsTest : public ::testing::Test {
 protected:
  ConversionCommandsTest() {
    state_.settings.InstallDefaults();
    test::WriteFileBytes(dir_ / "in.bmp", test::MakeMelodyBmp({60, 62}, {8, 8}));
    picture_ = (dir_ / "in.bmp").string();
  }

  test::TempDir dir_;
  ProgramState state_;
  FixedBits down_{0};
  std::string picture_;
};

TEST_F(ConversionCommandsTest, NoSecondRunStartsWhileOneWaitsInItsSavePrompt) {
  ImpatientUi ui;
  ConversionCommands commands(state_, down_, ui);
  ui.commands = &commands;
  ui.droppedMeanwhile = picture_;
  ui.openAnswers = {picture_, picture_};
  ui.saveAnswers = {std::nullopt};

  commands.OpenPicture();
  EXPECT_TRUE(ui.convertingDuringPrompt);
  ASSERT_EQ(ui.prompts.size(), 2u) << "one open prompt and one save prompt, nothing more";
  EXPECT_EQ(ui.prompts[0].kind, "open");
  EXPECT_EQ(ui.prompts[1].kind, "save");
  EXPECT_FALSE(commands.IsConverting());

  // With the run over, both ways in work again.
  commands.ConvertDroppedFile(picture_);
  EXPECT_EQ(ui.prompts.size(), 3u);
}

TEST_F(ConversionCommandsTest, DropsPassOnlyTheBmpExtensions) {
  ScriptedUi ui;
  ConversionCommands commands(state_, down_, ui);
  for (const char* name : {"in.Bmp", "in.txt", "in.bmp ", "\"in.bmp\""}) {
    commands.ConvertDroppedFile((dir_ / name).string());
  }
  EXPECT_TRUE(ui.prompts.empty());
  commands.ConvertDroppedFile(picture_);
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].kind, "save");
}

TEST_F(ConversionCommandsTest, CancelledOpenStartsNoRun) {
  ScriptedUi ui;
  ConversionCommands commands(state_, down_, ui);
  commands.OpenPicture();
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].kind, "open");
}

}  // namespace
}  // namespace pixorale
