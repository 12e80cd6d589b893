// Error record, handle checks and text conversion shared by every C entry point.
#include "automation/boundary.hpp"

#include <cstdlib>
#include <cstring>

#include "lantrel/utf8_text.hpp"

namespace lantrel::automation {

namespace {

// The error record of one thread, like an automation error-info object: the outcome of the
// most recent status-returning call made on that thread.
struct ErrorRecord {
  std::int32_t number = 0;
  std::string source;
  std::string description;
  // Set when the texts could not be stored; the getters then answer with these literals.
  const char* fixedSource = nullptr;
  const char* fixedDescription = nullptr;
};

thread_local ErrorRecord tRecord;

const char* LayerErrorText(std::int32_t number) {
  switch (number) {
    case 7: return "Out of memory";
    case 51: return "Internal error";
    case 91: return "Object variable or With block variable not set";
    default: return nullptr;
  }
}

}  // namespace

void ClearRecord() noexcept {
  tRecord.number = 0;
  tRecord.source.clear();
  tRecord.description.clear();
  tRecord.fixedSource = nullptr;
  tRecord.fixedDescription = nullptr;
}

std::int32_t Record(std::int32_t number, std::string_view source,
                    std::string_view description) noexcept {
  ClearRecord();
  try {
    tRecord.source.assign(source);
    tRecord.description.assign(description);
    tRecord.number = number;
  } catch (...) {
    tRecord.source.clear();
    tRecord.description.clear();
    tRecord.number = 7;
    tRecord.fixedSource = kLayerSource;
    tRecord.fixedDescription = "Out of memory";
  }
  return tRecord.number;
}

void RaiseLayer(std::int32_t number) {
  const char* text = LayerErrorText(number);
  throw Error(number, kLayerSource, text != nullptr ? text : RuntimeErrorText(number));
}

ZrGeoPosition& Object(lantrel_position* handle) {
  if (handle == nullptr) RaiseLayer(91);
  return handle->object;
}

zrCarter& Object(lantrel_carter* handle) {
  if (handle == nullptr || !handle->object) RaiseLayer(91);
  return *handle->object;
}

std::string InText(const char* text) {
  if (text == nullptr) return {};
  std::string value(text);
  if (!ValidUtf8(value)) RaiseLayer(errc::InvalidArgument);
  return value;
}

char* OutText(const std::string& text) {
  std::string transcoded;
  const std::string* source = &text;
  if (!ValidUtf8(text)) {
    for (const char c : text) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x80) {
        transcoded.push_back(c);
      } else {
        transcoded.push_back(static_cast<char>(0xC0 | (b >> 6)));
        transcoded.push_back(static_cast<char>(0x80 | (b & 0x3F)));
      }
    }
    source = &transcoded;
  }
  auto* copy = static_cast<char*>(std::malloc(source->size() + 1));
  if (copy == nullptr) throw std::bad_alloc();
  std::memcpy(copy, source->c_str(), source->size() + 1);
  return copy;
}

}  // namespace lantrel::automation

using lantrel::automation::tRecord;

extern "C" {

int32_t lantrel_last_error_number(void) { return tRecord.number; }

const char* lantrel_last_error_source(void) {
  return tRecord.fixedSource != nullptr ? tRecord.fixedSource : tRecord.source.c_str();
}

const char* lantrel_last_error_description(void) {
  return tRecord.fixedDescription != nullptr ? tRecord.fixedDescription
                                             : tRecord.description.c_str();
}

void lantrel_clear_error(void) { lantrel::automation::ClearRecord(); }

void lantrel_string_free(char* text) { std::free(text); }

}  // extern "C"
