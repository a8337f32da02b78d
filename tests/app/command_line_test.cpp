// kt7340's options: what each asks for, what it prints, and the exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"

using namespace kt::app;

TEST(ParseCommandLine, TellsEachOptionAndRefusesTheRest) {
  struct Case {
    std::vector<std::string> args;
    CommandLineAction action;
  };
  for (const Case& c : std::vector<Case>{
           {{}, CommandLineAction::RunMonitor},
           {{"--list-ports"}, CommandLineAction::ListPorts},
           {{"--help"}, CommandLineAction::ShowHelp},
           {{"-h"}, CommandLineAction::ShowHelp},
           {{"--version"}, CommandLineAction::ShowVersion},
           {{"--list"}, CommandLineAction::Refuse},
           {{"COM1"}, CommandLineAction::Refuse},
           {{"--help", "--version"}, CommandLineAction::Refuse},
       }) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.front());
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.error.empty(), c.action != CommandLineAction::Refuse);
  }
}

// --report's options, each just inside and just outside its range; the request it makes.
TEST(ParseCommandLine, ReportOptions) {
  struct Case {
    std::vector<std::string> args;
    std::string refusal;  // a part of the error; empty: accepted
  };
  const std::vector<std::string> base = {"--report", "--port", "32767", "--address"};
  for (const Case& c : std::vector<Case>{
           {{"1,247"}, ""},
           {{"0"}, "\"0\" (1..247)"},
           {{"248"}, "\"248\" (1..247)"},
           {{"1,,2"}, "\"\" (1..247)"},
           {{"3,3"}, "3 given twice"},
           {{"1", "--baud", "19200", "--parity", "E", "--ct-secondary", "1"}, ""},
           {{"1", "--baud", "38400"}, "bad baud rate"},
           {{"1", "--parity", "X"}, "bad parity"},
           {{"1", "--ct-secondary", "2"}, "bad CT secondary"},
           {{"1", "--site"}, "--site needs a value"},
           {{"1", "--out", "a", "--out", "b"}, "--out given twice"},
           {{"1", "--first", "x"}, "does not take \"--first\""},
       }) {
    std::vector<std::string> args = base;
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(c.args.front());
    const CommandLine line = ParseCommandLine(args);
    EXPECT_EQ(line.action,
              c.refusal.empty() ? CommandLineAction::WriteReport : CommandLineAction::Refuse);
    EXPECT_NE(line.error.find(c.refusal), std::string::npos) << line.error;
  }
  EXPECT_EQ(ParseCommandLine({"--report", "--address", "1"}).error,
            "kt7340: --report needs --port N");
  EXPECT_EQ(ParseCommandLine({"--report", "--port", "32768", "--address", "1"}).action,
            CommandLineAction::Refuse);
  const ReportRequest r = ParseCommandLine({"--report", "--address", "7,2", "--port", "3", "--site",
                                            "<站>", "--parity", "O", "--ct-secondary", "1"})
                              .report;
  EXPECT_EQ(r.port, 3);
  EXPECT_EQ(r.addresses, (std::vector<uint8_t>{7, 2}));
  EXPECT_EQ(r.site, "<站>");
  EXPECT_EQ(r.parity, 1);
  EXPECT_EQ(r.baudRate, 9600);
  EXPECT_EQ(r.ctSecondaryA, 1.0);
}

TEST(RunWithoutWindow, AnUnknownArgumentPrintsTheErrorAndTheHelpWithStatusTwo) {
  std::string out;
  std::string err;
  EXPECT_EQ(RunWithoutWindow(ParseCommandLine({"--bogus"}), out, err), 2);
  EXPECT_TRUE(out.empty());
  EXPECT_NE(err.find("--bogus"), std::string::npos) << err;
  EXPECT_NE(err.find(HelpText()), std::string::npos);
}

TEST(RunWithoutWindow, HelpAndVersionGoToStandardOutput) {
  std::string out;
  std::string err;
  EXPECT_EQ(RunWithoutWindow(ParseCommandLine({"--help"}), out, err), 0);
  for (const char* topic :
       {"KT7340_COM<N>", "tcp://", "KT7340_RS485", "kt7340-sim", "--list-ports", "--report"}) {
    EXPECT_NE(out.find(topic), std::string::npos) << topic;
  }
  out.clear();
  EXPECT_EQ(RunWithoutWindow(ParseCommandLine({"--version"}), out, err), 0);
  EXPECT_EQ(out, "kt7340 " KT7340_VERSION "\n");
  EXPECT_TRUE(err.empty());
}

// As under ./run, where KT7340_COM1 points port 1 at the simulator: the list shows that.
TEST(RunWithoutWindow, ListPortsShowsWhatAnOverrideMakesOfAPort) {
  ASSERT_EQ(setenv("KT7340_COM1", "/dev/pts/77", 1), 0);
  std::string out;
  std::string err;
  EXPECT_EQ(RunWithoutWindow(ParseCommandLine({"--list-ports"}), out, err), 0);
  unsetenv("KT7340_COM1");
  EXPECT_EQ(out.substr(0, out.find('\n')), "COM1  /dev/pts/77  (KT7340_COM1)");
  EXPECT_TRUE(err.empty());
}
