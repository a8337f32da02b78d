// The line settings texts that are accepted, what they mean, and the ones refused.
#include <gtest/gtest.h>

#include "serial/LineSettings.h"
#include "serial/LineSettingsTable.h"
#include "serial/SerialError.h"

using namespace kt::serial;

namespace {

struct Accepted {
  const char* text;
  LineSettings expected;
};

const Accepted kAccepted[] = {
    {"1200N,8,2", {1200, 8, Parity::None, 2}},   {"1200O,8,1", {1200, 8, Parity::Odd, 1}},
    {"1200E,8,1", {1200, 8, Parity::Even, 1}},   {"2400N,8,2", {2400, 8, Parity::None, 2}},
    {"2400O,8,1", {2400, 8, Parity::Odd, 1}},    {"2400E,8,1", {2400, 8, Parity::Even, 1}},
    {"4800N,8,2", {4800, 8, Parity::None, 2}},   {"4800O,8,1", {4800, 8, Parity::Odd, 1}},
    {"4800E,8,1", {4800, 8, Parity::Even, 1}},   {"9600N,8,2", {9600, 8, Parity::None, 2}},
    {"9600O,8,1", {9600, 8, Parity::Odd, 1}},    {"9600E,8,1", {9600, 8, Parity::Even, 1}},
    {"19200N,8,2", {19200, 8, Parity::None, 2}}, {"19200O,8,1", {19200, 8, Parity::Odd, 1}},
    {"19200E,8,1", {19200, 8, Parity::Even, 1}},
};

// Near misses of the accepted form, each wrong in one way.
const char* const kRefused[] = {
    "",           "9600",       "N,8,2",      "9600,N,8,2", "9600N,8,1",
    "9600O,8,2",  "9600E,8,2",  "9600E,7,1",  "9600N,7,2",  "9600n,8,2",
    "9600e,8,1",  "300N,8,2",   "14400N,8,2", "38400N,8,2", "09600N,8,2",
    "96000N,8,2", " 9600N,8,2", "9600N,8,2 ", "9600 N,8,2", "9600N,8,2,1",
    "9600M,8,1",  "9600S,8,1",  "9600N",      "-9600N,8,2", "1200E,8,1\n",
    "4800O.8.1",
};

}  // namespace

TEST(ParseLineSettings, AcceptsTheFifteenTexts) {
  for (const Accepted& a : kAccepted) {
    SCOPED_TRACE(a.text);
    EXPECT_EQ(ParseLineSettings(a.text, "/dev/ttyS0"), a.expected);
  }
}

// The reason names the accepted form so the user can see what would do, and a rate of the right
// form that is not supported by its number; the device is named, none when there is none.
TEST(ParseLineSettings, RefusesEverythingElseWithDeviceAndReason) {
  for (const char* text : kRefused) {
    SCOPED_TRACE(std::string("\"") + text + "\"");
    const std::string device = *text == '3' ? "" : "/dev/ttyUSB3";
    try {
      ParseLineSettings(text, device);
      ADD_FAILURE() << "accepted";
    } catch (const SerialError& e) {
      EXPECT_EQ(e.kind(), SerialErrorKind::BadSettings);
      EXPECT_EQ(e.device(), device);
      EXPECT_NE(e.reason().find("expected 1200, 2400, 4800, 9600 or 19200 directly followed by "
                                "N,8,2, O,8,1 or E,8,1"),
                std::string::npos)
          << e.reason();
      if (*text != '\0') {
        EXPECT_NE(e.reason().find(text), std::string::npos) << e.reason();
      }
      const std::string t = text;
      if (t == "300N,8,2" || t == "14400N,8,2") {
        const std::string rate = t.substr(0, t.find('N'));
        EXPECT_NE(e.reason().find("baud rate " + rate + " is not supported"), std::string::npos);
      }
    }
  }
}

// Every row is found again by each of its keys; the meter numbers the rates 0..4 from the
// slowest, and the parities 0 none, 1 odd, 2 even.
TEST(LineSettingsTable, RowsAreFoundByEveryKeyAndCodesFollowTheMeter) {
  const int32_t rates[] = {1200, 2400, 4800, 9600, 19200};
  ASSERT_EQ(kBaudRows.size(), std::size(rates));
  for (size_t code = 0; code < std::size(rates); ++code) {
    SCOPED_TRACE(rates[code]);
    const BaudRow* row = FindBaudRow(rates[code]);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->meterCode, code);
    EXPECT_EQ(FindBaudRowByCode(static_cast<int32_t>(code)), row);
  }
  EXPECT_EQ(FindBaudRow(14400), nullptr);
  EXPECT_EQ(FindBaudRowByCode(5), nullptr);
  EXPECT_EQ(FindBaudRowByCode(-1), nullptr);

  const Parity parities[] = {Parity::None, Parity::Odd, Parity::Even};
  for (int32_t code = 0; code < 3; ++code) {
    const ParityRow* row = FindParityRow(code);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->parity, parities[code]);
    // The row's suffix and stop bits are what the settings text stands for.
    const LineSettings parsed = ParseLineSettings("9600" + std::string(row->settingsSuffix), "");
    EXPECT_EQ(parsed.parity, row->parity);
    EXPECT_EQ(parsed.stopBits, row->stopBits);
  }
  EXPECT_EQ(FindParityRow(3), nullptr);
  EXPECT_EQ(FindParityRow(-1), nullptr);
}
