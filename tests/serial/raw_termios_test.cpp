// The termios asked of the device for each settings text, starting from a fully cooked line.
#include <gtest/gtest.h>

#include <cstring>

#include "TermiosExpectations.h"
#include "serial/LineSettings.h"
#include "serial/RawTermios.h"

using namespace kt::serial;
using namespace kt::serial::testing;

TEST(MakeRawTermios, GivesEachSettingsTextItsLineAndClearsEveryTranslation) {
  for (const TermiosCase& c : kTermiosCases) {
    SCOPED_TRACE(c.text);
    termios t;
    std::memset(&t, 0xFF, sizeof t);  // every flag on: all of them must be cleared or set
    MakeRawTermios(t, ParseLineSettings(c.text, ""));
    ExpectLineExceptParityEnable(t, c);
    EXPECT_EQ((t.c_cflag & PARENB) != 0, c.parity);
  }
}
