// JSON strings and numbers.
#include "service/JsonText.h"

#include <cstdint>
#include <cstdio>

namespace kt::service {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Bytes of the valid UTF-8 sequence starting at `at`, or 0.
size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  size_t length = 0;
  uint32_t low = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, low = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, low = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, low = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  uint32_t code = lead & (0x3F >> (length - 1));
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(at + i) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < low || code > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<uint8_t>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else if (c >= 0x80) {
      const size_t n = Utf8Length(text, i);
      if (n == 0) {
        out += kReplacement;
        ++i;
        continue;
      }
      out.append(text.substr(i, n));
      i += n;
      continue;
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  out += '"';
  return out;
}

std::string JsonNumber(std::string_view decimal) {
  // JSON's grammar: -?digits(.digits)? with no leading zeros beyond a lone one; "nan", "inf"
  // and an empty text are no numbers.
  size_t i = decimal.starts_with('-') ? 1 : 0;
  const auto digits = [&] {
    const size_t from = i;
    while (i < decimal.size() && decimal[i] >= '0' && decimal[i] <= '9') ++i;
    return i - from;
  };
  const size_t whole = digits();
  bool ok = whole > 0 && !(whole > 1 && decimal[i - whole] == '0');
  if (ok && i < decimal.size() && decimal[i] == '.') {
    ++i;
    ok = digits() > 0;
  }
  return ok && i == decimal.size() ? std::string(decimal) : "null";
}

}  // namespace kt::service
