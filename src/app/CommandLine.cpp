// Parsing kt7340's few options before any window exists, so they work without a display.
#include "app/CommandLine.h"

#include <charconv>
#include <cstdio>
#include <optional>

#include "app/PlatformHelp.h"
#include "finder/LineCandidates.h"
#include "serial/PortList.h"
#include "serial/SerialLine.h"
#include "ui/FinderText.h"

#ifndef KT7340_VERSION
#error "KT7340_VERSION comes from the project version in CMake"
#endif

namespace kt::app {

namespace {

constexpr int32_t kHighestPortNumber = 32767;

CommandLine Refused(const std::string& why) {
  return {CommandLineAction::Refuse, why};
}

CommandLine ParseFind(const std::vector<std::string>& args) {
  CommandLine line{CommandLineAction::FindMeters, ""};
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--first" && !line.findFirst) {
      line.findFirst = true;
    } else if (arg == "--port" && line.findPort == 0) {
      if (i + 1 >= args.size()) return Refused("kt7340: --port needs a port number");
      const std::string& value = args[++i];
      int32_t number = 0;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
      if (ec != std::errc() || end != value.data() + value.size() || number < 1 ||
          number > kHighestPortNumber) {
        return Refused("kt7340: bad port number \"" + value + "\" (1..32767)");
      }
      line.findPort = number;
    } else {
      return Refused("kt7340: --find takes --port N and --first, not \"" + arg + "\"");
    }
  }
  return line;
}

// A line of `--find` goes out at once: a full sweep takes minutes.
void PrintNow(const std::string& text) {
  std::fputs((text + "\n").c_str(), stdout);
  std::fflush(stdout);
}
void ProgressNow(const std::string& text) {
  std::fputs((text + "\n").c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return {};
  if (args.front() == "--find") return ParseFind(args);
  if (args.front() == "--report") {
    CommandLine line{CommandLineAction::WriteReport, ""};
    const std::string why =
        ParseReportOptions(std::vector<std::string>(args.begin() + 1, args.end()), line.report);
    return why.empty() ? line : Refused(why);
  }
  if (args.size() > 1) {
    return {CommandLineAction::Refuse,
            "kt7340: one option at a time, not " + std::to_string(args.size())};
  }
  const std::string& arg = args.front();
  if (arg == "--list-ports") return {CommandLineAction::ListPorts, ""};
  if (arg == "--help" || arg == "-h") return {CommandLineAction::ShowHelp, ""};
  if (arg == "--version") return {CommandLineAction::ShowVersion, ""};
  return {CommandLineAction::Refuse, "kt7340: unknown argument \"" + arg + "\""};
}

std::string VersionText() {
  return std::string("kt7340 ") + KT7340_VERSION + "\n";
}

std::string HelpText() {
  const PlatformHelpText& platform = PlatformHelp();
  std::string text = std::string("Usage: ") + platform.program;
  text += R"( [--list-ports | --find [--port N] [--first] |
         --report --port N --address A[,A...] [--out FILE] [...] | --help | --version]
Monitor and configurator for the 7340智能电力检测仪 (Modbus RTU on a serial line).
Without options it opens the monitor window: choose the port, baud rate and parity in
"通讯设置", then type the meter's slave address and press "运行".

  --list-ports   list the serial ports of this machine with their numbers, and exit
  --find         look for meters on every port at once (a tcp:// port by address only), at
                 every baud rate and parity and slave addresses 1..247, addresses 1..16
                 first; prints one line per meter found (port, baud rate, parity, slave
                 address, wiring, PT, CT) and a summary, and every 5 s what it tries and how
                 far it is on the error stream; exit status 0 when a meter was found, 1 when
                 none. --port N looks on port N only, --first stops at the first meter
  --report       read the configuration and a few measurement blocks of each meter at the
                 slave addresses A (1..247, comma-separated) on port N, run the wiring check
                 and write the commissioning report "电能表接线检查报告" (one HTML file, one
                 A4 page per meter, a summary first for several) to FILE, by default
                 报告-<site>-<date>.html here (never over an existing file); prints its
                 path. Also --site, --panel, --engineer TEXT (the title block), --baud B
                 (9600), --parity N|O|E (N), --ct-secondary 5|1 (the CTs' rated secondary
                 in A, 5). Exit status 0, or 1 with the reason when a meter does not answer
  --help         this text
  --version      the version

Port numbers:
  --list-ports shows what each number opens. Port N is the device KT7340_COM<N> names,
  else )";
  text += platform.portNumbers;
  text += R"(
Environment:
  KT7340_COM<N>  the device of port N, for example KT7340_COM1=)";
  text += platform.comExample;
  text += R"(, or a serial
                 device server in transparent mode (RTU over TCP), for example
                 KT7340_COM2=tcp://192.168.1.20:4001 (a numeric address or localhost)
)";
  text += platform.rs485;
  text += R"(  KT7340_OPEN_WORKBENCH=1
                 opens the window "诊断与记录" (traffic log, recording) with the main dialog
  KT7340_RECORD=FILE
                 records the measured values to the CSV file FILE from the start; an
                 existing recording gets the new rows after its own, a file holding
                 something else is left as it is and the rows go to FILE-2.csv (-3, ...)

Programs:
)";
  text += platform.programs;
  return text;
}

int RunWithoutWindow(const CommandLine& line, std::string& out, std::string& err) {
  switch (line.action) {
    case CommandLineAction::ListPorts:
      for (const std::string& l : serial::FormatPortList(serial::ListPorts())) {
        out += l + "\n";
      }
      return 0;
    case CommandLineAction::ShowHelp:
      out += HelpText();
      return 0;
    case CommandLineAction::ShowVersion:
      out += VersionText();
      return 0;
    case CommandLineAction::Refuse:
      err += line.error + "\n\n" + HelpText();
      return 2;
    case CommandLineAction::FindMeters: {
      const std::vector<serial::PortInfo> ports = serial::ListPorts();
      std::vector<finder::CandidateLine> lines;
      if (line.findPort > 0) {
        lines.push_back(finder::CandidateForPort(ports, line.findPort));
      } else {
        lines = finder::CandidateLines(ports);
      }
      modbus::SteadyClock clock;
      return RunFind(line, lines, finder::SerialLineOpener(), clock, PrintNow, ProgressNow);
    }
    case CommandLineAction::WriteReport: {
      serial::SerialLine port;
      modbus::SteadyClock clock;
      return RunReport(line.report, port, clock, std::chrono::system_clock::now, out, err);
    }
    case CommandLineAction::RunMonitor:
      break;
  }
  return 0;
}

int RunFind(const CommandLine& line, const std::vector<finder::CandidateLine>& lines,
            const finder::LineOpener& opener, modbus::Clock& clock,
            const std::function<void(const std::string&)>& print,
            const std::function<void(const std::string&)>& progress) {
  if (lines.empty()) {
    print(serial::FormatPortList({}).front());
    print(ui::SummaryText(0));
    return 1;
  }
  finder::FinderOptions options;
  options.stopAfterFirst = line.findFirst;
  finder::MeterFinder finder(lines, opener, clock, options);
  size_t shownMeters = 0;
  size_t shownFailures = 0;
  uint32_t lastProgressTick = clock.GetTickCount();
  while (!finder.Finished()) {
    finder.Tick();
    const std::optional<finder::Attempt> attempt = finder.Current();
    if (progress && attempt &&
        static_cast<uint32_t>(clock.GetTickCount() - lastProgressTick) >= kFindProgressMs) {
      lastProgressTick = clock.GetTickCount();
      progress(ui::AttemptText(*attempt) + "  " + ui::ProgressText(finder.Progress()));
    }
    for (; shownFailures < finder.Failures().size(); ++shownFailures) {
      print(ui::FailureText(finder.Failures()[shownFailures]));
    }
    for (; shownMeters < finder.Found().size(); ++shownMeters) {
      std::string text;
      for (const std::string& cell : ui::FoundMeterCells(finder.Found()[shownMeters])) {
        text += (text.empty() ? "" : "  ") + cell;
      }
      print(text);
    }
    if (!finder.Finished()) clock.Sleep(kFindTickMs);
  }
  print(ui::SummaryText(finder.Found().size()));
  return finder.Found().empty() ? 1 : 0;
}

}  // namespace kt::app
