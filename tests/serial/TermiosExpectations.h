// The fifteen settings texts with the termios each must give, and the checks shared by the tests.
#pragma once

#include <termios.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kt::serial::testing {

struct TermiosCase {
  std::string text;
  speed_t speed;
  bool parity;  // PARENB
  bool odd;     // PARODD
  bool twoStopBits;
};

// Each rate with its speed constant.
inline const std::pair<int32_t, speed_t> kTermiosSpeeds[] = {
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600}, {19200, B19200}};

// Every rate with no parity and two stop bits, or odd or even parity and one.
inline std::vector<TermiosCase> TermiosCases() {
  std::vector<TermiosCase> all;
  for (const auto& [rate, speed] : kTermiosSpeeds) {
    for (const char parity : {'N', 'O', 'E'}) {
      all.push_back({std::to_string(rate) + parity + (parity == 'N' ? ",8,2" : ",8,1"), speed,
                     parity != 'N', parity == 'O', parity == 'N'});
    }
  }
  return all;
}

// The bits that make the line raw 8-bit, whatever the settings.
inline void ExpectRaw(const termios& t) {
  EXPECT_EQ(t.c_iflag & (IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                         IXANY | INPCK),
            0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(t.c_cflag & (CRTSCTS | HUPCL), 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
}

// Speed, odd parity and stop bits as the case says, and raw. PARENB is checked separately:
// a pseudo-terminal always reports it cleared.
inline void ExpectLineExceptParityEnable(const termios& t, const TermiosCase& c) {
  EXPECT_EQ(cfgetispeed(&t), c.speed);
  EXPECT_EQ(cfgetospeed(&t), c.speed);
  EXPECT_EQ((t.c_cflag & PARODD) != 0, c.odd);
  EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStopBits);
  ExpectRaw(t);
}

}  // namespace kt::serial::testing
