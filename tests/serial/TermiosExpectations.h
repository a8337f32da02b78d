// The fifteen settings texts with the termios each must give, and the checks shared by the tests.
#pragma once

#include <termios.h>

#include <gtest/gtest.h>

namespace kt::serial::testing {

struct TermiosCase {
  const char* text;
  speed_t speed;
  bool parity;  // PARENB
  bool odd;     // PARODD
  bool twoStopBits;
};

inline const TermiosCase kTermiosCases[] = {
    {"1200N,8,2", B1200, false, false, true},   {"1200O,8,1", B1200, true, true, false},
    {"1200E,8,1", B1200, true, false, false},   {"2400N,8,2", B2400, false, false, true},
    {"2400O,8,1", B2400, true, true, false},    {"2400E,8,1", B2400, true, false, false},
    {"4800N,8,2", B4800, false, false, true},   {"4800O,8,1", B4800, true, true, false},
    {"4800E,8,1", B4800, true, false, false},   {"9600N,8,2", B9600, false, false, true},
    {"9600O,8,1", B9600, true, true, false},    {"9600E,8,1", B9600, true, false, false},
    {"19200N,8,2", B19200, false, false, true}, {"19200O,8,1", B19200, true, true, false},
    {"19200E,8,1", B19200, true, false, false},
};

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
