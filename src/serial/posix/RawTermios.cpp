// Raw 8-bit termios with the parity and stop bits of the line settings.
#include "serial/posix/RawTermios.h"

#include <array>

namespace kt::serial {
namespace {

struct TermiosBaud {
  int32_t baudRate;
  speed_t speed;
};

// The speed constant of each supported rate (kBaudRows).
constexpr std::array<TermiosBaud, 5> kTermiosBauds{{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
}};
static_assert(kTermiosBauds.size() == kBaudRows.size());

}  // namespace

speed_t TermiosSpeed(int32_t baudRate) {
  for (const TermiosBaud& b : kTermiosBauds) {
    if (b.baudRate == baudRate) return b.speed;
  }
  return B0;
}

const BaudRow* FindBaudRowBySpeed(speed_t speed) {
  for (const TermiosBaud& b : kTermiosBauds) {
    if (b.speed == speed) return FindBaudRow(b.baudRate);
  }
  return nullptr;
}

void MakeRawTermios(termios& t, const LineSettings& settings) {
  // No parity checking on input either (INPCK off): a damaged reply fails its CRC instead of
  // silently losing bytes.
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXOFF | IXANY | INPCK | IUCLC | IMAXBEL);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL | CMSPAR);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  if (settings.parity != Parity::None) t.c_cflag |= PARENB;
  if (settings.parity == Parity::Odd) t.c_cflag |= PARODD;
  if (settings.stopBits == 2) t.c_cflag |= CSTOPB;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  cfsetispeed(&t, TermiosSpeed(settings.baudRate));
  cfsetospeed(&t, TermiosSpeed(settings.baudRate));
}

}  // namespace kt::serial
