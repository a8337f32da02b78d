// The Linux lines of `kt7340 --help`.
#include "app/PlatformHelp.h"

namespace kt::app {

const PlatformHelpText& PlatformHelp() {
  static constexpr PlatformHelpText kText{
      "kt7340",
      R"(the N-th serial port of this machine: USB and ACM adapters first, then on-board
  serial ports with hardware, each group in the order of the device names (ttyUSB2 before
  ttyUSB10). A port lost while open is opened again as the same device (a USB adapter by
  its serial number or USB socket), even if another one has taken its number meanwhile.
)",
      "/dev/ttyUSB0",
      R"(  KT7340_RS485   1 turns on the kernel's RS-485 mode for the opened port (RTS on while
                 sending, off after); a port whose driver lacks it is refused
)",
      R"(  kt7340         this monitor
  kt7340-sim     a simulated meter on a pseudo-terminal (or --tcp HOST:PORT); see
                 kt7340-sim --help
)",
  };
  return kText;
}

}  // namespace kt::app
