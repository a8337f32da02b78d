// The lines of `kt7340 --help` that differ between Linux and Windows; the rest is written once
// in HelpText.
#pragma once

namespace kt::app {

struct PlatformHelpText {
  const char* program;      // the program's name in the usage line
  const char* portNumbers;  // how port N is found when no variable names it, after "else "
  const char* comExample;   // a device for KT7340_COM1
  const char* rs485;        // the lines of KT7340_RS485
  const char* programs;     // the lines under "Programs:"
};

const PlatformHelpText& PlatformHelp();

}  // namespace kt::app
