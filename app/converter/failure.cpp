#include "app/converter/failure.h"

namespace pixorale::converter {

std::string Failure::Line() const {
  return subject.empty() ? reason : subject + ": " + reason;
}

std::string_view KindName(FailureKind kind) {
  switch (kind) {
    case FailureKind::kUsage:
      return "usage";
    case FailureKind::kOptionValue:
      return "option-value";
    case FailureKind::kOptionConflict:
      return "option-conflict";
    case FailureKind::kMissingFeature:
      return "missing-feature";
    case FailureKind::kNoInput:
      return "no-input";
    case FailureKind::kSettingsFile:
      return "settings-file";
    case FailureKind::kSoundFont:
      return "soundfont";
    case FailureKind::kOutputConflict:
      return "output-conflict";
    case FailureKind::kOutputExists:
      return "output-exists";
    case FailureKind::kOutputRefused:
      return "output-refused";
    case FailureKind::kUnreadablePicture:
      return "unreadable-picture";
    case FailureKind::kUnsupportedPicture:
      return "unsupported-picture";
    case FailureKind::kNotTrueColour:
      return "not-true-colour";
    case FailureKind::kDamagedPicture:
      return "damaged-picture";
    case FailureKind::kPictureTooLarge:
      return "picture-too-large";
    case FailureKind::kWriteFailed:
      return "write-failed";
    case FailureKind::kRenderFailed:
      return "render-failed";
    case FailureKind::kOutOfMemory:
      return "out-of-memory";
  }
  return "usage";
}

std::string_view KindName(WarningKind kind) {
  switch (kind) {
    case WarningKind::kEmptyRange:
      return "empty-range";
    case WarningKind::kSilentSustain:
      return "silent-sustain";
    case WarningKind::kTempoRounded:
      return "tempo-rounded";
    case WarningKind::kUnusedOption:
      return "unused-option";
    case WarningKind::kTruncatedPixels:
      return "truncated-pixels";
    case WarningKind::kOneNoteTooLong:
      return "one-note-too-long";
    case WarningKind::kSilentSong:
      return "silent-song";
    case WarningKind::kUnreadableSettings:
      return "unreadable-settings";
  }
  return "unused-option";
}

}  // namespace pixorale::converter
