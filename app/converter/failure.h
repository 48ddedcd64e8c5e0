#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "io/io_result.h"

namespace pixorale::converter {

// Why the converter did not do what it was asked, by kind, so that each shell tells it in its
// own words and language; the reason says it once more in English, as the command line
// prints it.
enum class FailureKind {
  kUsage,               // a command line the converter cannot read (unknown option, ...)
  kOptionValue,         // an option's value is not one it takes
  kOptionConflict,      // options that cannot go together, or one the run cannot use
  kMissingFeature,      // an option for what this build cannot do
  kNoInput,             // no picture given
  kSettingsFile,        // the settings file named cannot be read
  kSoundFont,           // no SoundFont, or the one named cannot be read
  kOutputConflict,      // two outputs, or two inputs' outputs, are one file
  kOutputExists,        // an output exists and --force was not given
  kOutputRefused,       // an output names a directory, the input or the SoundFont
  kUnreadablePicture,   // the picture cannot be opened or read
  kUnsupportedPicture,  // not a picture this build reads (a GIF, a MIDI file, ...)
  kNotTrueColour,       // a BMP with fewer or more bits per pixel than 24 or 32
  kDamagedPicture,      // a picture whose data its decoder refuses
  kPictureTooLarge,     // wider, or larger, than a limit allows
  kWriteFailed,         // an output could not be written
  kRenderFailed,        // the WAV or the piano roll could not be made
  kOutOfMemory,
};

// One failure: what it is about (a file, an option; may be empty), its kind, one line of
// English, and the file step that failed when there was one.
struct Failure {
  FailureKind kind = FailureKind::kUsage;
  std::string subject;
  std::string reason;
  std::optional<IoResult> io;

  // "subject: reason", or the reason alone when there is no subject.
  std::string Line() const;
};

// Something the converter did all the same, but not quite as asked.
enum class WarningKind {
  kEmptyRange,          // --range HIGH:LOW with HIGH not above LOW: no range applies
  kSilentSustain,       // --sustain 0: no note makes a sound
  kTempoRounded,        // the tempo event cannot hold the tempo exactly
  kUnusedOption,        // an option that does nothing with the others given
  kTruncatedPixels,     // the picture's pixel data ends early; the rest is black
  kOneNoteTooLong,      // one note alone lasts longer than --max-seconds allows
  kSilentSong,          // the WAV holds no sound
  kUnreadableSettings,  // setting.set is there but cannot be read; the defaults are used
};

struct Warning {
  WarningKind kind = WarningKind::kUnusedOption;
  std::string subject;  // the file or option it is about; may be empty
  std::string text;     // one line of English, as the command line prints it
};

// The stable names the page uses: "option-value", "unsupported-picture", ...
std::string_view KindName(FailureKind kind);
std::string_view KindName(WarningKind kind);

// How many kinds there are, for tables made of them (kinds are numbered from 0).
inline constexpr int kFailureKindCount = static_cast<int>(FailureKind::kOutOfMemory) + 1;
inline constexpr int kWarningKindCount = static_cast<int>(WarningKind::kUnreadableSettings) + 1;

// A value, or the failure that stopped it being made.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: a result converts from its value
  Result(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: and from a failure

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  const Failure& failure() const { return failure_; }

 private:
  std::optional<T> value_;
  Failure failure_;
};

}  // namespace pixorale::converter
