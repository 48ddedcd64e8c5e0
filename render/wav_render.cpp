#include "render/wav_render.h"

#include <fluidsynth.h>
#include <glib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "render/song_timeline.h"
#include "render/wav_format.h"

namespace pixorale {
namespace {

constexpr int kBlockFrames = 4096;

struct SettingsDeleter {
  void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
  void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};

// FluidSynth logs through one process-wide function. Its errors are kept for the message
// of the render that caused them; everything else is dropped rather than printed.
thread_local std::string* capturedError = nullptr;

// FluidSynth starts many messages with the function's name ("fluid_x(): "): a person
// needs only the rest.
void KeepError(int, const char* message, void*) {
  if (capturedError == nullptr || !capturedError->empty() || message == nullptr) return;
  std::string text = message;
  if (const size_t end = text.find("(): ");
      text.rfind("fluid_", 0) == 0 && end != std::string::npos) {
    text.erase(0, end + 4);
  }
  *capturedError = text;
}

void Ignore(int, const char*, void*) {}

// The loaders FluidSynth tries on a damaged SoundFont (libinstpatch's among them) complain
// through GLib's log as well, after FluidSynth's own error has told what is wrong: during a
// render those lines are dropped, so a failure is one line. Elsewhere GLib prints as before.
GLogFunc glibDefaultHandler = nullptr;

void DropDuringRender(const gchar* domain, GLogLevelFlags level, const gchar* message,
                      gpointer data) {
  if (capturedError != nullptr) return;
  if (glibDefaultHandler != nullptr) glibDefaultHandler(domain, level, message, data);
}

void RouteFluidSynthLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    glibDefaultHandler = g_log_set_default_handler(DropDuringRender, nullptr);
    fluid_set_log_function(FLUID_PANIC, KeepError, nullptr);
    fluid_set_log_function(FLUID_ERR, KeepError, nullptr);
    fluid_set_log_function(FLUID_WARN, Ignore, nullptr);
    fluid_set_log_function(FLUID_INFO, Ignore, nullptr);
    fluid_set_log_function(FLUID_DBG, Ignore, nullptr);
  });
}

class ErrorCapture {
 public:
  ErrorCapture() { capturedError = &text_; }
  ~ErrorCapture() { capturedError = nullptr; }
  ErrorCapture(const ErrorCapture&) = delete;
  ErrorCapture& operator=(const ErrorCapture&) = delete;
  std::string Reason(const std::string& fallback) const { return text_.empty() ? fallback : text_; }

 private:
  std::string text_;
};

void Play(fluid_synth_t* synth, const TimedEvent& event) {
  const int channel = event.status & 0x0F;
  switch (event.status & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, channel, event.data1);
      break;
    case 0x90:
      fluid_synth_noteon(synth, channel, event.data1, event.data2);
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, channel, event.data1, event.data2);
      break;
    case 0xB0:
      fluid_synth_cc(synth, channel, event.data1, event.data2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, channel, event.data1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, channel, event.data1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(synth, channel, (event.data2 << 7) | event.data1);
      break;
    default:
      break;
  }
}

int16_t ToSample(float value) {
  const float scaled = std::clamp(value * 32767.0f, -32768.0f, 32767.0f);
  return static_cast<int16_t>(std::lrint(scaled));
}

// Renders frames into the stream block by block: floats from the synthesizer, rounded to
// 16 bits without dither so that every run gives the same bytes.
class BlockWriter {
 public:
  BlockWriter(fluid_synth_t* synth, std::ostream& out, uint64_t totalFrames,
              const std::function<void(double)>& progress)
      : synth_(synth), out_(out), totalFrames_(totalFrames), progress_(progress) {}

  bool RenderUntil(uint64_t frame) {
    while (written_ < frame) {
      const int count = static_cast<int>(std::min<uint64_t>(kBlockFrames, frame - written_));
      if (fluid_synth_write_float(synth_, count, left_.data(), 0, 1, right_.data(), 0, 1) !=
          FLUID_OK) {
        synthFailed_ = true;
        return false;
      }
      for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        StoreLittleEndian(4 * i, ToSample(left_[i]));
        StoreLittleEndian(4 * i + 2, ToSample(right_[i]));
      }
      out_.write(reinterpret_cast<const char*>(bytes_.data()), std::streamsize{count} * 4);
      if (!out_) return false;
      written_ += static_cast<uint64_t>(count);
      Report();
    }
    return true;
  }
  bool synthFailed() const { return synthFailed_; }

 private:
  void StoreLittleEndian(size_t at, int16_t sample) {
    const auto bits = static_cast<uint16_t>(sample);
    bytes_[at] = static_cast<uint8_t>(bits);
    bytes_[at + 1] = static_cast<uint8_t>(bits >> 8);
  }

  void Report() {
    if (!progress_ || totalFrames_ == 0) return;
    const double done = static_cast<double>(written_) / static_cast<double>(totalFrames_);
    if (done - reported_ < 0.01 && written_ != totalFrames_) return;
    reported_ = done;
    progress_(done);
  }

  fluid_synth_t* synth_;
  std::ostream& out_;
  uint64_t totalFrames_;
  const std::function<void(double)>& progress_;
  uint64_t written_ = 0;
  double reported_ = 0.0;
  bool synthFailed_ = false;
  std::array<float, kBlockFrames> left_{};
  std::array<float, kBlockFrames> right_{};
  std::array<uint8_t, kBlockFrames * 4> bytes_{};
};

uint64_t FrameAt(double seconds) {
  return static_cast<uint64_t>(std::llround(seconds * kWavSampleRate));
}

std::string DescribeTooLong(double seconds) {
  const auto limitMinutes = static_cast<unsigned>(kWavMaxFrames / kWavSampleRate / 60);
  return "the song lasts " + std::to_string(static_cast<uint64_t>(seconds)) +
         " s, longer than a WAV file can hold (" + std::to_string(limitMinutes / 60) + " h " +
         std::to_string(limitMinutes % 60) + " min)";
}

}  // namespace

WavRenderResult RenderSongToWav(const Song& song, std::ostream& out,
                                const WavRenderOptions& options) {
  WavRenderResult result;
  const SongTimeline timeline = BuildTimeline(song);
  const double seconds = timeline.lengthSeconds + kReleaseTailSeconds;
  if (!(seconds * kWavSampleRate < static_cast<double>(kWavMaxFrames))) {
    result.error = DescribeTooLong(timeline.lengthSeconds);
    return result;
  }
  const uint64_t totalFrames = FrameAt(seconds);

  RouteFluidSynthLog();
  ErrorCapture capture;
  const std::unique_ptr<fluid_settings_t, SettingsDeleter> settings(new_fluid_settings());
  if (!settings) {
    result.error = "the synthesizer could not be set up";
    return result;
  }
  fluid_settings_setnum(settings.get(), "synth.sample-rate", kWavSampleRate);
  // One thread, no locking, no pinned memory: the render runs alone in this thread and
  // pinning a large SoundFont may be refused.
  fluid_settings_setint(settings.get(), "synth.cpu-cores", 1);
  fluid_settings_setint(settings.get(), "synth.threadsafe-api", 0);
  fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
  // Only the samples of the instruments the song selects are read from the SoundFont.
  fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);
  const std::unique_ptr<fluid_synth_t, SynthDeleter> synth(new_fluid_synth(settings.get()));
  if (!synth) {
    result.error = capture.Reason("the synthesizer could not be set up");
    return result;
  }
  // Told apart first: other loaders tried on a file that is no SoundFont print to stderr.
  if (fluid_is_soundfont(options.soundFontPath.c_str()) == 0) {
    result.error = "cannot load the SoundFont " + options.soundFontPath + ": not an SF2 file";
    return result;
  }
  if (fluid_synth_sfload(synth.get(), options.soundFontPath.c_str(), 1) == FLUID_FAILED) {
    result.error = "cannot load the SoundFont " + options.soundFontPath + ": " +
                   capture.Reason("not a SoundFont");
    return result;
  }

  const auto header = WavHeader(static_cast<uint32_t>(totalFrames));
  out.write(reinterpret_cast<const char*>(header.data()), header.size());
  BlockWriter blocks(synth.get(), out, totalFrames, options.progress);
  // A write that fails stops the render.
  for (const TimedEvent& event : timeline.events) {
    if (!blocks.RenderUntil(FrameAt(event.seconds))) break;
    Play(synth.get(), event);
  }
  if (!blocks.RenderUntil(totalFrames)) {
    if (blocks.synthFailed()) {
      result.error = capture.Reason("the synthesizer failed");
    } else {
      result.io = IoResult::Failure(IoStep::kWrite, 0);
      result.error = DescribeIoResult(result.io);
    }
    return result;
  }
  result.seconds = static_cast<double>(totalFrames) / kWavSampleRate;
  return result;
}

}  // namespace pixorale
