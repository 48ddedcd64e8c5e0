#include <QApplication>
#include <iostream>
#include <string>

#include "app/command_line.h"
#include "app/conversion_run.h"
#include "app/desktop/program_icon.h"
#include "app/desktop/qt_conversion_ui.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/run_desktop_program.h"
#include "app/ui_texts.h"
#include "convert/os_random_bits.h"

int main(int argc, char* argv[]) {
  using namespace pixorale;

  // Answered before the toolkit starts, so they need no display.
  if (auto code = AnswerInformationRequest(CommandLineTail(argc, argv), std::cout)) return *code;

  // One settings record, song and image for the whole run.
  ProgramState state;

  // The application name is the class part of the X11 WM_CLASS.
  QApplication::setApplicationName(ToQString(texts::kWindowClassName));
  QApplication::setApplicationVersion(ToQString(texts::kVersion));
  QApplication::setDesktopFileName("pixorale");
  QApplication app(argc, argv);
  QApplication::setWindowIcon(ProgramIcon());

  // Qt has removed the arguments it understood; the rest is the tail, taken whole.
  const std::string tail = CommandLineTail(argc, argv);
  if (auto code = AnswerInformationRequest(tail, std::cout)) return *code;

  OsRandomBits bits;
  QtConversionUi ui;
  return RunDesktopProgram(tail, state, bits, ui);
}
