// Raw 8-bit termios with the parity and stop bits of the line settings.
#include "serial/RawTermios.h"
#include "serial/LineSettingsTable.h"

namespace kt::serial {

speed_t TermiosSpeed(int32_t baudRate) {
  const BaudRow* row = FindBaudRow(baudRate);
  return row != nullptr ? row->termiosSpeed : B0;
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
