// Filtering device strings: valid UTF-8 only, no control characters.
#include "serial/DeviceText.h"

#include <cstdint>

namespace kt::serial {
namespace {

constexpr char kReplacement = '?';

// Length of the valid UTF-8 sequence at `at` and its code point; 0 when it is not valid.
size_t SequenceAt(std::string_view s, size_t at, uint32_t& code) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  const uint8_t lead = byte(at);
  size_t length = 0;
  uint32_t min = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1Fu, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0Fu, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07u, min = 0x10000;
  } else {
    return 0;
  }
  if (at + length > s.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  // Overlong forms, UTF-16 surrogates and values beyond Unicode are not valid.
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

bool IsControl(uint32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

}  // namespace

std::string CleanDeviceText(std::string_view raw) {
  std::string clean;
  clean.reserve(raw.size());
  for (size_t at = 0; at < raw.size();) {
    uint32_t code = 0;
    const size_t length = SequenceAt(raw, at, code);
    if (length == 0 || IsControl(code)) {
      clean += kReplacement;
      at += length == 0 ? 1 : length;
    } else {
      clean.append(raw.substr(at, length));
      at += length;
    }
  }
  return clean;
}

}  // namespace kt::serial
