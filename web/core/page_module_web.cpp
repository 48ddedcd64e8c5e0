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
  // What the conversion read of the picture, for the page to mark on it.
  val picture = val::object();
  picture.set("width", page.report.pictureWidth);
  picture.set("height", page.report.pictureHeight);
  val rows = val::array();
  for (const RowRead& row : page.rowsRead) {
    val read = val::object();
    read.set("fromTop", row.fromTop);
    read.set("role", std::string(row.role));
    rows.call<void>("push", read);
  }
  picture.set("rows", rows);
  summary.set("picture", picture);
  return summary;
}

val Message(const PageMessage& message) {
  val out = val::object();
  out.set("kind", message.kind);
  out.set("subject", message.subject);
  out.set("reason", message.reason);
  return out;
}

// {ok, failure, warnings, name, midi: Uint8Array, summary, notes: Float32Array}; failure and
// each warning {kind, subject, reason}.
val Convert(const std::string& picturePath, const val& options) {
  const PageConversion page =
      ConvertForPage(picturePath, emscripten::vecFromJSArray<std::string>(options));
  val result = val::object();
  result.set("ok", page.converted);
  val warnings = val::array();
  for (const PageMessage& warning : page.warnings) warnings.call<void>("push", Message(warning));
  result.set("warnings", warnings);
  if (!page.converted) {
    result.set("failure", Message(page.error));
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

// Bytes of memory the core holds: WebAssembly memory grows but never shrinks, so the page
// starts a fresh core after a conversion that made it large.
double MemoryBytes() {
  constexpr double kPageBytes = 65536;
  return static_cast<double>(__builtin_wasm_memory_size(0)) * kPageBytes;
}

}  // namespace

EMSCRIPTEN_BINDINGS(pixorale_page) {
  emscripten::function("convert", &Convert);
  emscripten::function("normalisedWav", &NormalisedWav);
  emscripten::function("memoryBytes", &MemoryBytes);
}

}  // namespace pixorale::web
