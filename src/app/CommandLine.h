// The command line of kt7340: what it asks for, and the texts it prints.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/ReportCommand.h"
#include "finder/MeterFinder.h"
#include "modbus/Clock.h"

namespace kt::app {

enum class CommandLineAction {
  RunMonitor,   // no arguments: the window program
  ListPorts,    // --list-ports
  ShowHelp,     // --help, -h
  ShowVersion,  // --version
  FindMeters,   // --find [--port N] [--first]
  WriteReport,  // --report --port N --address A[,A...] [...]
  Refuse,       // anything else: the error, then the help, exit status 2
};

struct CommandLine {
  CommandLineAction action = CommandLineAction::RunMonitor;
  std::string error;  // why it was refused
  // --find: only this port (0: every port), and stop after the first meter.
  int32_t findPort = 0;
  bool findFirst = false;
  ReportRequest report{};  // --report
};

// Reads the arguments after the program name. Only one of the options may be given; --find
// takes --port N (1..32767) and --first after it, each at most once; --report its options
// (ParseReportOptions).
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// How ports are numbered, the environment variables, and the two programs.
std::string HelpText();
// "kt7340 1.0.0.1" with the project's version.
std::string VersionText();

// Carries out an action that needs no window, writing to `out` or `err`; returns the exit status.
int RunWithoutWindow(const CommandLine& line, std::string& out, std::string& err);

// The sweep of `--find` over `lines`: one line per meter found (and per line that could not be
// used) through `print` as it happens, then the summary; while it sweeps, every
// kFindProgressMs what it tries and how far it is through `progress` (the error stream). Ticks
// every kFindTickMs on `clock`, letting the time pass with its Sleep. Returns 0 when a meter
// was found, 1 when none.
inline constexpr uint32_t kFindTickMs = 10;
inline constexpr uint32_t kFindProgressMs = 5000;
int RunFind(const CommandLine& line, const std::vector<finder::CandidateLine>& lines,
            const finder::LineOpener& opener, modbus::Clock& clock,
            const std::function<void(const std::string&)>& print,
            const std::function<void(const std::string&)>& progress = {});

}  // namespace kt::app
