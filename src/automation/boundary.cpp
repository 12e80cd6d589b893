// Error record, handle checks and text conversion shared by every C entry point.
#include "automation/boundary.hpp"

#include <cstdlib>
#include <cstring>

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

// Length of the well-formed UTF-8 sequence starting at s[i], or 0 when it is malformed
// (truncated, overlong, a surrogate, or beyond U+10FFFF).
std::size_t Utf8SequenceLength(const unsigned char* s, std::size_t i, std::size_t n) {
  const unsigned char b = s[i];
  if (b < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    if (b == 0xE0) low = 0xA0;   // no overlong forms
    if (b == 0xED) high = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    if (b == 0xF0) low = 0x90;   // no overlong forms
    if (b == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (n - i < length) return 0;
  if (s[i + 1] < low || s[i + 1] > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (s[i + k] < 0x80 || s[i + k] > 0xBF) return 0;
  }
  return length;
}

bool IsUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceLength(s, i, text.size());
    if (length == 0) return false;
    i += length;
  }
  return true;
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
  if (!IsUtf8(value)) RaiseLayer(errc::InvalidArgument);
  return value;
}

char* OutText(const std::string& text) {
  std::string transcoded;
  const std::string* source = &text;
  if (!IsUtf8(text)) {
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
