// Parsing the line settings text: five baud rates, three parity/stop-bit suffixes, nothing else.
#include "serial/LineSettings.h"
#include "serial/LineSettingsTable.h"

#include <string_view>

#include "serial/SerialError.h"

namespace kt::serial {
namespace {

// "a, b or c" of the given texts.
template <typename Rows, typename Text>
std::string Alternatives(const Rows& rows, Text text) {
  std::string list;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) list += i + 1 == rows.size() ? " or " : ", ";
    list += text(rows[i]);
  }
  return list;
}

[[noreturn]] void Refuse(const std::string& device, const std::string& why) {
  const std::string expected =
      "expected " +
      Alternatives(kBaudRows, [](const BaudRow& r) { return std::to_string(r.baudRate); }) +
      " directly followed by " +
      Alternatives(kParityRows, [](const ParityRow& r) { return std::string(r.settingsSuffix); });
  throw SerialError(SerialErrorKind::BadSettings, device, why + "; " + expected);
}

}  // namespace

LineSettings ParseLineSettings(const std::string& text, const std::string& device) {
  if (text.empty()) Refuse(device, "empty line settings");
  const std::string quoted = "line settings \"" + text + "\"";

  const size_t digitsEnd = text.find_first_not_of("0123456789");
  const std::string_view digits = std::string_view(text).substr(0, digitsEnd);
  const std::string_view suffix = digitsEnd == std::string::npos
                                      ? std::string_view()
                                      : std::string_view(text).substr(digitsEnd);
  if (digits.empty()) Refuse(device, quoted + " do not start with a baud rate");

  // Digits exactly as a rate prints: no leading zeros.
  const BaudRow* baud = nullptr;
  for (const BaudRow& b : kBaudRows) {
    if (std::to_string(b.baudRate) == digits) baud = &b;
  }
  if (baud == nullptr) {
    Refuse(device, quoted + ": baud rate " + std::string(digits) + " is not supported");
  }

  for (const ParityRow& s : kParityRows) {
    if (s.settingsSuffix == suffix) return LineSettings{baud->baudRate, 8, s.parity, s.stopBits};
  }
  Refuse(device, quoted + ": \"" + std::string(suffix) +
                     "\" after the baud rate is not a parity, data bits and stop bits setting");
}

}  // namespace kt::serial
