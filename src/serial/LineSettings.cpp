// Parsing the line settings text: five baud rates, three parity/stop-bit suffixes, nothing else.
#include "serial/LineSettings.h"

#include <array>
#include <string_view>

#include "serial/SerialError.h"

namespace kt::serial {
namespace {

struct BaudText {
  std::string_view digits;
  int32_t baudRate;
};

struct SuffixText {
  std::string_view suffix;
  Parity parity;
  int stopBits;
};

constexpr std::array<BaudText, 5> kBaudRates{{
    {"1200", 1200},
    {"2400", 2400},
    {"4800", 4800},
    {"9600", 9600},
    {"19200", 19200},
}};

constexpr std::array<SuffixText, 3> kSuffixes{{
    {"N,8,2", Parity::None, 2},
    {"O,8,1", Parity::Odd, 1},
    {"E,8,1", Parity::Even, 1},
}};

const char* const kExpected =
    "expected 1200, 2400, 4800, 9600 or 19200 directly followed by N,8,2, O,8,1 or E,8,1";

[[noreturn]] void Refuse(const std::string& device, const std::string& why) {
  throw SerialError(SerialErrorKind::BadSettings, device, why + "; " + kExpected);
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

  const BaudText* baud = nullptr;
  for (const BaudText& b : kBaudRates) {
    if (b.digits == digits) baud = &b;
  }
  if (baud == nullptr) {
    Refuse(device, quoted + ": baud rate " + std::string(digits) + " is not supported");
  }

  for (const SuffixText& s : kSuffixes) {
    if (s.suffix == suffix) return LineSettings{baud->baudRate, 8, s.parity, s.stopBits};
  }
  Refuse(device, quoted + ": \"" + std::string(suffix) +
                     "\" after the baud rate is not a parity, data bits and stop bits setting");
}

}  // namespace kt::serial
