#include "render/wav_render.h"

#include <fluidsynth.h>
#include <glib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include "render/dc_blocker.h"
#include "render/loudness.h"
#include "render/pcm_writer.h"
#include "render/sample_spill.h"
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

// Where a render stands, told as the part done: a normalised render spends most of its
// time in the synthesizer and a little reading the samples back to write them.
struct RenderPass {
  double start = 0.0;
  double end = 1.0;
};
constexpr RenderPass kWholeRender{0.0, 1.0};
constexpr RenderPass kSynthesisPass{0.0, 0.95};
constexpr RenderPass kWriteOutPass{0.95, 1.0};

class Progress {
 public:
  Progress(const std::function<void(double)>& report, uint64_t totalFrames)
      : report_(report), totalFrames_(totalFrames) {}

  void At(const RenderPass& pass, uint64_t frame) {
    if (!report_ || totalFrames_ == 0) return;
    const double done = frame == totalFrames_
                            ? pass.end
                            : pass.start + (pass.end - pass.start) * static_cast<double>(frame) /
                                               static_cast<double>(totalFrames_);
    if (done - reported_ < 0.01 && frame != totalFrames_) return;
    reported_ = done;
    report_(done);
  }

 private:
  const std::function<void(double)>& report_;
  uint64_t totalFrames_;
  double reported_ = 0.0;
};

uint64_t FrameAt(double seconds) {
  return static_cast<uint64_t>(std::llround(seconds * kWavSampleRate));
}

// Plays the song's events in time, block by block: interleaved stereo floats from the
// synthesizer with any constant offset removed, handed to a sink that keeps or writes them.
class Synthesis {
 public:
  Synthesis(fluid_synth_t* synth, const SongTimeline& timeline, uint64_t totalFrames)
      : synth_(synth), timeline_(timeline), totalFrames_(totalFrames) {}

  enum class Outcome { kDone, kSynthFailed, kSinkFailed };

  uint64_t totalFrames() const { return totalFrames_; }

  // `sink(samples, frames, framesRenderedSoFar)` returns false to stop.
  template <typename Sink>
  Outcome Run(Sink&& sink) {
    for (const TimedEvent& event : timeline_.events) {
      if (const Outcome outcome = RenderUntil(FrameAt(event.seconds), sink);
          outcome != Outcome::kDone) {
        return outcome;
      }
      Play(synth_, event);
    }
    return RenderUntil(totalFrames_, sink);
  }

 private:
  template <typename Sink>
  Outcome RenderUntil(uint64_t frame, Sink& sink) {
    while (rendered_ < frame) {
      const int count = static_cast<int>(std::min<uint64_t>(kBlockFrames, frame - rendered_));
      if (fluid_synth_write_float(synth_, count, samples_.data(), 0, 2, samples_.data(), 1, 2) !=
          FLUID_OK) {
        return Outcome::kSynthFailed;
      }
      for (size_t i = 0; i < 2 * static_cast<size_t>(count); i += 2) {
        samples_[i] = left_.Filter(samples_[i]);
        samples_[i + 1] = right_.Filter(samples_[i + 1]);
      }
      rendered_ += static_cast<uint64_t>(count);
      if (!sink(samples_.data(), static_cast<size_t>(count), rendered_))
        return Outcome::kSinkFailed;
    }
    return Outcome::kDone;
  }

  fluid_synth_t* synth_;
  const SongTimeline& timeline_;
  uint64_t totalFrames_;
  DcBlocker left_;
  DcBlocker right_;
  uint64_t rendered_ = 0;
  std::array<float, 2 * kBlockFrames> samples_{};
};

void WriteHeader(std::ostream& out, uint64_t totalFrames) {
  const auto header = WavHeader(static_cast<uint32_t>(totalFrames));
  out.write(reinterpret_cast<const char*>(header.data()), header.size());
}

float PeakOf(const float* samples, size_t count, float peak) {
  for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(samples[i]));
  return peak;
}

Synthesis::Outcome WriteAsRendered(Synthesis& synthesis, double gain, std::ostream& out,
                                   Progress& progress, bool& silent) {
  WriteHeader(out, synthesis.totalFrames());
  PcmWriter pcm(out, gain);
  float peak = 0.0f;
  const Synthesis::Outcome outcome =
      synthesis.Run([&](const float* samples, size_t frames, uint64_t rendered) {
        peak = PeakOf(samples, 2 * frames, peak);
        progress.At(kWholeRender, rendered);
        return pcm.Write(samples, frames);
      });
  silent = WritesAsSilence(peak, gain);
  return outcome;
}

// The peak is known only once the whole song is rendered: until then the samples wait in a
// temporary file, which costs far less time than rendering the song twice.
Synthesis::Outcome WriteNormalised(Synthesis& synthesis, std::ostream& out, Progress& progress,
                                   std::string& spillError, bool& silent) {
  SampleSpill spill;
  float peak = 0.0f;
  const Synthesis::Outcome rendered =
      synthesis.Run([&](const float* samples, size_t frames, uint64_t renderedFrames) {
        peak = PeakOf(samples, 2 * frames, peak);
        progress.At(kSynthesisPass, renderedFrames);
        return spill.Append(samples, 2 * frames);
      });
  if (rendered != Synthesis::Outcome::kDone) {
    spillError = spill.error();
    return rendered;
  }
  const uint64_t totalFrames = synthesis.totalFrames();
  WriteHeader(out, totalFrames);
  const double gain = NormalisingGain(peak);
  silent = WritesAsSilence(peak, gain);
  PcmWriter pcm(out, gain);
  std::array<float, 2 * kBlockFrames> samples{};
  bool written = spill.Rewind();
  for (uint64_t frame = 0; written && frame < totalFrames;) {
    const auto frames = static_cast<size_t>(std::min<uint64_t>(kBlockFrames, totalFrames - frame));
    const size_t count = 2 * frames;
    written = spill.Read(samples.data(), count) == count && pcm.Write(samples.data(), frames);
    frame += static_cast<uint64_t>(frames);
    progress.At(kWriteOutPass, frame);
  }
  spillError = spill.error();
  return written ? Synthesis::Outcome::kDone : Synthesis::Outcome::kSinkFailed;
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

  Progress progress(options.progress, totalFrames);
  Synthesis synthesis(synth.get(), timeline, totalFrames);
  std::string spillError;
  bool silent = false;
  const Synthesis::Outcome outcome =
      options.gainDb
          ? WriteAsRendered(synthesis, GainFactor(*options.gainDb), out, progress, silent)
          : WriteNormalised(synthesis, out, progress, spillError, silent);
  if (outcome == Synthesis::Outcome::kSynthFailed) {
    result.error = capture.Reason("the synthesizer failed");
    return result;
  }
  if (!spillError.empty()) {
    result.error = spillError;
    return result;
  }
  if (outcome == Synthesis::Outcome::kSinkFailed || !out) {
    result.io = IoResult::Failure(IoStep::kWrite, 0);
    result.error = DescribeIoResult(result.io);
    return result;
  }
  result.seconds = static_cast<double>(totalFrames) / kWavSampleRate;
  result.silent = silent;
  return result;
}

}  // namespace pixorale
