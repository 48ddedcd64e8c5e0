#pragma once

#include "app/resource_ids.h"

namespace pixorale {

// The command ids of menu 101, kept on the menu's actions.
enum CommandId : int {
  kCommandOpen = IDM_OPEN,
  kCommandExit = IDM_EXIT,
  kCommandConversionSettings = IDM_CONVERSION_SETTINGS,
  kCommandAbout = IDM_ABOUT,
};

}  // namespace pixorale
