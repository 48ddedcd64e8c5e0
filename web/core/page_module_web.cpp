// The page's entry into the core: what the conversion worker calls.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <sstream>
#include <string>
#include <vector>

#include "page_conversion.h"
#include "render/normalised_wav.h"

namespace pixorale::web {
namespace {

using emscripten::val;

// A JavaScript copy of the bytes: the C++ side is freed when the call returns.
template <typename T>
val CopyToJs(const char* arrayType, const T* data, size_t size) {
  return val::global(arrayType).new_(val(emscripten::typed_memory_view(size, data)));
}

val Summary(const PageConversion& page) {
  const SongSummary& song = page.report.song;
  val summary = val::object();
  summary.set("notes", static_cast<double>(song.noteCount));
  summary.set("tracks", song.trackCount);
  summary.set("lengthTicks", static_cast<double>(song.lengthTicks));
  summary.set("seconds", page.seconds);
  summary.set("lowestPitch", song.lowestPitch);
  summary.set("highestPitch", song.highestPitch);
  summary.set("columns", page.report.columns);
  return summary;
}

// {ok, error, warnings, name, midi: Uint8Array, summary, notes: Float32Array}
val Convert(const std::string& picturePath, const val& options) {
  const PageConversion page =
      ConvertForPage(picturePath, emscripten::vecFromJSArray<std::string>(options));
  val result = val::object();
  result.set("ok", page.converted);
  val warnings = val::array();
  for (const std::string& warning : page.warnings) warnings.call<void>("push", warning);
  result.set("warnings", warnings);
  if (!page.converted) {
    result.set("error", page.error);
    return result;
  }
  result.set("name", page.midiName);
  result.set("midi", CopyToJs("Uint8Array", page.midi.data(), page.midi.size()));
  result.set("summary", Summary(page));
  result.set("notes", CopyToJs("Float32Array", page.notes.data(), page.notes.size()));
  return result;
}

// The WAV file of two channels of sound, as the converter writes its own.
val NormalisedWav(const val& left, const val& right) {
  const std::vector<float> leftSamples = emscripten::convertJSArrayToNumberVector<float>(left);
  const std::vector<float> rightSamples = emscripten::convertJSArrayToNumberVector<float>(right);
  std::ostringstream wav;
  WriteNormalisedWav(leftSamples, rightSamples, wav);
  const std::string bytes = std::move(wav).str();
  return CopyToJs("Uint8Array", bytes.data(), bytes.size());
}

}  // namespace

EMSCRIPTEN_BINDINGS(pixorale_page) {
  emscripten::function("convert", &Convert);
  emscripten::function("normalisedWav", &NormalisedWav);
}

}  // namespace pixorale::web
