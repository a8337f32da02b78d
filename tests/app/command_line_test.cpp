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
       {"KT7340_COM<N>", "tcp://", "KT7340_RS485", "kt7340-sim", "--list-ports"}) {
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
