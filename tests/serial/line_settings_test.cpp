// The line settings texts that are accepted, what they mean, and the ones refused.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "SerialTestHelpers.h"
#include "serial/LineSettings.h"
#include "serial/LineSettingsTable.h"
#include "serial/SerialError.h"

using namespace kt::serial;
using kt::serial::testing::Refusal;

namespace {

const int32_t kRates[] = {1200, 2400, 4800, 9600, 19200};

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

// Every rate with N,8,2, O,8,1 or E,8,1.
TEST(ParseLineSettings, AcceptsTheFifteenTexts) {
  for (const int32_t rate : kRates) {
    for (const auto& [suffix, parity, stopBits] : {std::tuple{"N,8,2", Parity::None, 2},
                                                   {"O,8,1", Parity::Odd, 1},
                                                   {"E,8,1", Parity::Even, 1}}) {
      SCOPED_TRACE(std::to_string(rate) + suffix);
      const LineSettings expected{rate, 8, parity, stopBits};
      EXPECT_EQ(ParseLineSettings(std::to_string(rate) + suffix, "/dev/ttyS0"), expected);
    }
  }
}

// The reason names the accepted form so the user can see what would do, and a rate of the right
// form that is not supported by its number; the device is named, none when there is none.
TEST(ParseLineSettings, RefusesEverythingElseWithDeviceAndReason) {
  for (const char* text : kRefused) {
    SCOPED_TRACE(std::string("\"") + text + "\"");
    const std::string device = *text == '3' ? "" : "/dev/ttyUSB3";
    const auto e = Refusal([&] { ParseLineSettings(text, device); });
    ASSERT_TRUE(e) << "accepted";
    EXPECT_EQ(e->kind(), SerialErrorKind::BadSettings);
    EXPECT_EQ(e->device(), device);
    const std::string reason = e->reason();
    const auto says = [&](const std::string& part) {
      return reason.find(part) != std::string::npos;
    };
    EXPECT_TRUE(
        says("expected 1200, 2400, 4800, 9600 or 19200 directly followed by "
             "N,8,2, O,8,1 or E,8,1"))
        << reason;
    EXPECT_TRUE(says(text)) << reason;
    const std::string t = text;
    if (t == "300N,8,2" || t == "14400N,8,2") {
      EXPECT_TRUE(says("baud rate " + t.substr(0, t.find('N')) + " is not supported"));
    }
  }
}

// Every row is found again by each of its keys; the meter numbers the rates 0..4 from the
// slowest, and the parities 0 none, 1 odd, 2 even.
TEST(LineSettingsTable, RowsAreFoundByEveryKeyAndCodesFollowTheMeter) {
  ASSERT_EQ(kBaudRows.size(), std::size(kRates));
  for (size_t code = 0; code < std::size(kRates); ++code) {
    SCOPED_TRACE(kRates[code]);
    const BaudRow* row = FindBaudRow(kRates[code]);
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
