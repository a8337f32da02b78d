// Number <-> text exchange with the standard prompts.
#include "ui/dialog/DataExchange.h"

#include <cctype>
#include <limits>

#include "ui/dialog/Dialog.h"

namespace kt::ui {
namespace {

// Strips blanks (spaces, tabs, line breaks) around the text.
std::string Trimmed(const std::string& text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}

// Parses digits only into `out`, false on anything else or on exceeding `max`.
bool ParseDigits(const std::string& digits, unsigned long long max, unsigned long long& out) {
  if (digits.empty()) return false;
  unsigned long long v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    const unsigned d = static_cast<unsigned>(c - '0');
    if (v > (max - d) / 10) return false;
    v = v * 10 + d;
  }
  out = v;
  return true;
}

template <typename Field>
void RememberField(DataExchange& dx, Field& field) {
  const Field before = field;
  dx.RememberRestore([&field, before] { field = before; });
}

}  // namespace

std::string RangePrompt(long long min, long long max) {
  return "请输入一个介于 " + std::to_string(min) + " 和 " + std::to_string(max) + " 之间的整数。";
}

void DataExchange::Fail(const std::string& prompt) {
  if (restore_) restore_();
  throw DataExchangeFailure(prompt);
}

bool ParseUnsigned(const std::string& text, unsigned long long max, unsigned long long& out) {
  std::string t = Trimmed(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  return ParseDigits(t, max, out);
}

bool ParseSigned(const std::string& text, long long min, long long max, long long& out) {
  std::string t = Trimmed(text);
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.erase(0, 1);
  }
  unsigned long long magnitude = 0;
  const unsigned long long limit = negative ? static_cast<unsigned long long>(-(min + 1)) + 1
                                            : static_cast<unsigned long long>(max);
  if (!ParseDigits(t, limit, magnitude)) return false;
  out = negative ? -static_cast<long long>(magnitude - 1) - 1 : static_cast<long long>(magnitude);
  return out >= min && out <= max;
}

void DDX_Text(DataExchange& dx, int controlId, uint8_t& value) {
  if (!dx.saveAndValidate()) {
    dx.dialog().SetDlgItemText(controlId, std::to_string(value));
    return;
  }
  unsigned long long v = 0;
  if (!ParseUnsigned(dx.dialog().GetDlgItemText(controlId), 255, v)) {
    dx.RememberRestore(nullptr);
    dx.Fail(kPromptByte);
  }
  RememberField(dx, value);
  value = static_cast<uint8_t>(v);
}

void DDX_Text(DataExchange& dx, int controlId, int32_t& value) {
  if (!dx.saveAndValidate()) {
    dx.dialog().SetDlgItemText(controlId, std::to_string(value));
    return;
  }
  long long v = 0;
  if (!ParseSigned(dx.dialog().GetDlgItemText(controlId), std::numeric_limits<int32_t>::min(),
                   std::numeric_limits<int32_t>::max(), v)) {
    dx.RememberRestore(nullptr);
    dx.Fail(kPromptInteger);
  }
  RememberField(dx, value);
  value = static_cast<int32_t>(v);
}

void DDX_Text(DataExchange& dx, int controlId, uint32_t& value) {
  if (!dx.saveAndValidate()) {
    dx.dialog().SetDlgItemText(controlId, std::to_string(value));
    return;
  }
  unsigned long long v = 0;
  if (!ParseUnsigned(dx.dialog().GetDlgItemText(controlId), std::numeric_limits<uint32_t>::max(),
                     v)) {
    dx.RememberRestore(nullptr);
    dx.Fail(kPromptUnsigned);
  }
  RememberField(dx, value);
  value = static_cast<uint32_t>(v);
}

void DDV_MinMaxByte(DataExchange& dx, uint8_t value, uint8_t min, uint8_t max) {
  if (dx.saveAndValidate() && (value < min || value > max)) dx.Fail(RangePrompt(min, max));
}

void DDV_MinMaxUInt(DataExchange& dx, uint32_t value, uint32_t min, uint32_t max) {
  if (dx.saveAndValidate() && (value < min || value > max)) dx.Fail(RangePrompt(min, max));
}

}  // namespace kt::ui
