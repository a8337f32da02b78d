// The Windows lines of `kt7340.exe --help`.
#include "app/PlatformHelp.h"

namespace kt::app {

const PlatformHelpText& PlatformHelp() {
  static constexpr PlatformHelpText kText{
      "kt7340.exe",
      R"(COM<N> (port 3 is COM3; COM10 and above too). --list-ports shows USB adapters
  first, with the names the Device Manager gives them. A port lost while open (an adapter
  pulled) is opened again every second until it is back.
)",
      "COM7",
      R"(  KT7340_RS485   refused: on Windows the adapter's driver switches the direction of an
                 RS-485 line
)",
      R"(  kt7340.exe     this monitor
)",
  };
  return kText;
}

}  // namespace kt::app
