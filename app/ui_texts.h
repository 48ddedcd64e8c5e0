#pragma once

#include <array>
#include <string_view>

#include "app/conversion_ui.h"
#include "app/version.h"
#include "convert/scale_table.h"

// Every text the user sees, exactly as the program shows it (UTF-8). Code and tests both
// take the texts from here; nothing else spells them.
namespace pixorale::texts {

inline constexpr std::string_view kProgramName = "Pixorale";
inline constexpr std::string_view kVersion = kProjectVersion;
inline constexpr std::string_view kVersionLine = "Ver" PIXORALE_VERSION;
inline constexpr std::string_view kWindowClassName = "ZIVI_Duzaz";

inline constexpr std::string_view kErrorCaption = "error";
inline constexpr std::string_view kNot24Bit = "24ビット画像を使用してください";
inline constexpr std::string_view kCannotSaveMidi = "MIDIファイルを保存できませんでした";
inline constexpr std::string_view kTempoMustBePositive = "テンポには1以上の値を入力してください";
// Shown when a window or dialog could not finish a message (the run ends after it).
inline constexpr std::string_view kUnexpectedStop = "予期しないエラーが起きたため終了します";

inline constexpr FileFilter kBmpFilter{"BMPファイル{*.bmp}", "*.bmp"};
inline constexpr FileFilter kMidiFilter{"MIDIファイル{*.mid}", "*.mid"};
inline constexpr std::string_view kBmpExtension = "bmp";
inline constexpr std::string_view kMidiExtension = "mid";

// Menu 101.
inline constexpr std::string_view kMenuFile = "ファイル(&F)";
inline constexpr std::string_view kMenuOpen = "開く(&O)";
inline constexpr std::string_view kMenuExit = "終了(&X)";
inline constexpr std::string_view kMenuSettings = "設定(&T)";
inline constexpr std::string_view kMenuConversionSettings = "変換設定(&C)";
inline constexpr std::string_view kMenuHelp = "ヘルプ(&H)";
inline constexpr std::string_view kMenuAbout = "バージョン情報(&V)";

// Settings dialog 102.
inline constexpr std::string_view kSettingsTitle = "変換設定";
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kCancel = "キャンセル";
inline constexpr std::string_view kScaleLabel = "スケールを指定";
inline constexpr std::string_view kSustainLabel = "サステイン(32分音符何個分か)";
inline constexpr std::string_view kTempoLabel = "テンポ";
inline constexpr std::string_view kBeatUnits = "拍子単位";
inline constexpr std::string_view kMillisecondUnits = "ミリ秒単位";
inline constexpr std::string_view kResolutionLabel = "分解能(またはミリ秒)";
inline constexpr std::string_view kSingleNotes = "単音のみ";
inline constexpr std::string_view kWithChords = "和音も含む";
inline constexpr std::string_view kRangeOn = "音域制限を指定する";
inline constexpr std::string_view kRangeOff = "音域制限を指定しない";
inline constexpr std::string_view kRangeHighLabel = "音域上限";
inline constexpr std::string_view kRangeLowLabel = "音域下限";
inline constexpr std::string_view kRangeLabel = "音域制限(0～127)";

// The scale list, in scaleIndex order.
inline constexpr std::array<std::string_view, kScaleCount> kScaleNames = {
    "Cメジャー",   "Cナチュラルマイナー", "Cハーモニックマイナー", "Cメロディックマイナー",
    "Cドリアン",   "Cフリジアン",         "Cリディアン",           "Cミクソリディアン",
    "Cロクリアン",
};

// The desktop program's answer to --help.
inline constexpr std::string_view kDesktopUsage =
    "Usage: pixorale [PICTURE.bmp]\n"
    "Turns a 24-bit BMP picture into a Standard MIDI File. A picture named on the command\n"
    "line is converted before the window opens.\n"
    "  --help     show this help\n"
    "  --version  show the version\n";

}  // namespace pixorale::texts
