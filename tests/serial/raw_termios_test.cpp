// The termios asked of the device for each settings text, starting from a fully cooked line.
#include <gtest/gtest.h>

#include <cstring>

#include "TermiosExpectations.h"
#include "serial/LineSettings.h"
#include "serial/posix/RawTermios.h"

using namespace kt::serial;
using namespace kt::serial::testing;

TEST(MakeRawTermios, GivesEachSettingsTextItsLineAndClearsEveryTranslation) {
  for (const TermiosCase& c : TermiosCases()) {
    SCOPED_TRACE(c.text);
    termios t;
    std::memset(&t, 0xFF, sizeof t);  // every flag on: all of them must be cleared or set
    MakeRawTermios(t, ParseLineSettings(c.text, ""));
    ExpectLineExceptParityEnable(t, c);
    EXPECT_EQ((t.c_cflag & PARENB) != 0, c.parity);
  }
}

// Each supported rate has its speed constant, and the constant finds the rate's row again.
TEST(TermiosSpeed, EachRateHasItsConstantAndTheConstantFindsItsRow) {
  for (const auto& [rate, speed] : kTermiosSpeeds) {
    SCOPED_TRACE(rate);
    EXPECT_EQ(TermiosSpeed(rate), speed);
    EXPECT_EQ(FindBaudRowBySpeed(speed), FindBaudRow(rate));
  }
  EXPECT_EQ(TermiosSpeed(14400), B0);
  EXPECT_EQ(FindBaudRowBySpeed(B38400), nullptr);
}
