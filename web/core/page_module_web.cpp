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

// What the conversion read of the picture, for the page to mark on it: its size and the rows
// read, counted from its top.
val Picture(const PageConversion& page) {
  val picture = val::object();
  picture.set("width", page.outcome.report.pictureWidth);
  picture.set("height", page.outcome.report.pictureHeight);
  val rows = val::array();
  for (const RowRead& row : page.rowsRead) {
    val read = val::object();
    read.set("fromTop", row.fromTop);
    read.set("role", std::string(row.role));
    rows.call<void>("push", read);
  }
  picture.set("rows", rows);
  return picture;
}

val Summary(const PageConversion& page) {
  val summary = val::object();
  const auto values = SummaryValues(page);
  for (size_t i = 0; i < values.size(); ++i) summary.set(kSummaryFieldNames[i], values[i]);
  return summary;
}

val Described(std::string_view kind, const std::string& subject, const std::string& text) {
  val described = val::object();
  described.set("kind", std::string(kind));
  described.set("subject", subject);
  described.set("text", text);
  return described;
}

// {ok, failure: {kind, subject, text}, warnings: [{kind, subject, text}], name,
//  midi: Uint8Array, summary, notes: Float32Array, picture: {width, height, rows}}
val Convert(const std::string& picturePath, const std::string& shownName, const val& options) {
  const PageConversion page =
      ConvertForPage(picturePath, shownName, emscripten::vecFromJSArray<std::string>(options));
  val result = val::object();
  result.set("ok", !page.failure);
  val warnings = val::array();
  for (const converter::Warning& warning : page.warnings) {
    warnings.call<void>(
        "push", Described(converter::KindName(warning.kind), warning.subject, warning.text));
  }
  result.set("warnings", warnings);
  if (page.failure) {
    const converter::Failure& failure = *page.failure;
    result.set("failure",
               Described(converter::KindName(failure.kind), failure.subject, failure.reason));
    return result;
  }
  result.set("name", page.midiName);
  result.set("midi", CopyToJs("Uint8Array", page.midi.data(), page.midi.size()));
  result.set("summary", Summary(page));
  result.set("notes", CopyToJs("Float32Array", page.notes.data(), page.notes.size()));
  result.set("picture", Picture(page));
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
