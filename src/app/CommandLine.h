// The command line of kt7340: what it asks for, and the texts it prints.
#pragma once

#include <string>
#include <vector>

namespace kt::app {

enum class CommandLineAction {
  RunMonitor,   // no arguments: the window program
  ListPorts,    // --list-ports
  ShowHelp,     // --help, -h
  ShowVersion,  // --version
  Refuse,       // anything else: the error, then the help, exit status 2
};

struct CommandLine {
  CommandLineAction action = CommandLineAction::RunMonitor;
  std::string error;  // why it was refused
};

// Reads the arguments after the program name. Only one of the options may be given.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// How ports are numbered, the environment variables, and the two programs.
std::string HelpText();
// "kt7340 1.0.0.1" with the project's version.
std::string VersionText();

// Carries out an action that needs no window, writing to `out` or `err`; returns the exit status.
int RunWithoutWindow(const CommandLine& line, std::string& out, std::string& err);

}  // namespace kt::app
