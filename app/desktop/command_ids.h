#pragma once

namespace pixorale {

// The command ids of menu 101, kept on the menu's actions.
enum CommandId : int {
  kCommandOpen = 40004,
  kCommandExit = 40005,
  kCommandConversionSettings = 40006,
  kCommandAbout = 40008,
};

}  // namespace pixorale
