// Output of a GUI program started from a console: the options that print (--help, --version,
// --list-ports, --find) write to the console of the program that started it.
#pragma once

namespace kt::app::win32 {

// When standard output goes nowhere (a GUI program started from cmd or PowerShell), attaches to
// the parent's console and points stdout and stderr at it, in UTF-8. Output that was redirected
// to a file or pipe stays there.
void UseParentConsole();

}  // namespace kt::app::win32
