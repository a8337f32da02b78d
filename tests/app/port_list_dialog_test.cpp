// The list of serial ports in the communication settings dialog, at start-up and from the
// settings command: what it shows and what a click on a line does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainDialogHarness.h"
#include "app/CMonitorApp.h"
#include "serial/PortList.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::ui::Dialog;
namespace ids = kt::ui::comm_set_ids;

namespace {

const std::vector<kt::serial::PortInfo> kTwoPorts = {
    {"ttyUSB0", "/dev/ttyUSB0", "FTDI FT232R USB UART (A10K3XYZ)"},
    {"ttyS0", "/dev/ttyS0", "serial"},
};

class PortListDialogTest : public ::testing::Test, public MainDialogHarness {
 protected:
  std::vector<kt::serial::PortInfo> ports;
  kt::app::CMonitorApp app{host, port, clock, [this] { return ports; }};
};

TEST_F(PortListDialogTest, ListsThePortsAndAClickedLineBecomesThePortNumber) {
  ports = kTwoPorts;
  std::vector<std::string> atStartUp, fromCommand;
  std::string editAfterClick;
  host.ScriptModal(ids::kTemplateId, [&](Dialog& d) {
    atStartUp = host.Control(d, ids::kPortList).lines;
    EXPECT_TRUE(host.ClickListLine(d, ids::kPortList, 1));
    editAfterClick = host.Control(d, ids::kPortEdit).text;
    host.Click(d, kt::ui::IDOK);
  });
  std::string info;
  host.ScriptModal(kt::ui::main_ids::kTemplateId, [&](Dialog& d) {
    info = host.Control(d, kt::ui::main_ids::kInformationBox).text;
    host.Click(d, kt::ui::main_ids::kCommSettingsButton);
    host.Click(d, kt::ui::IDCANCEL);
  });
  // The settings command shows the same list; a click there picks the first port.
  host.ScriptModal(ids::kTemplateId, [&](Dialog& d) {
    fromCommand = host.Control(d, ids::kPortList).lines;
    EXPECT_TRUE(host.ClickListLine(d, ids::kPortList, 0));
    EXPECT_EQ(host.Control(d, ids::kPortEdit).text, "1");
    host.Click(d, kt::ui::IDCANCEL);
  });

  app.InitInstance();
  const std::vector<std::string> expected = {"COM1  /dev/ttyUSB0  FTDI FT232R USB UART (A10K3XYZ)",
                                             "COM2  /dev/ttyS0  serial"};
  EXPECT_EQ(atStartUp, expected);
  EXPECT_EQ(atStartUp, kt::serial::FormatPortList(kTwoPorts));  // as --list-ports prints them
  EXPECT_EQ(fromCommand, expected);
  EXPECT_EQ(editAfterClick, "2");
  EXPECT_EQ(info.rfind("串行口: 2 ", 0), 0u) << info;
  EXPECT_EQ(host.UnscriptedModals(), 0);
}

// A port named by the environment beyond the machine's ports: its line selects its number.
TEST_F(PortListDialogTest, AClickedOverrideLineSelectsItsOwnNumber) {
  kt::serial::PortInfo named;
  named.device = "tcp://127.0.0.1:5020";
  named.number = 9;
  named.overrideVariable = "KT7340_COM9";
  ports = {kTwoPorts[0], named};
  ports[0].number = 1;
  std::string edit;
  host.ScriptModal(ids::kTemplateId, [&](Dialog& d) {
    EXPECT_EQ(host.Control(d, ids::kPortList).lines[1],
              "COM9  tcp://127.0.0.1:5020  (KT7340_COM9)");
    EXPECT_TRUE(host.ClickListLine(d, ids::kPortList, 1));
    edit = host.Control(d, ids::kPortEdit).text;
    host.Click(d, kt::ui::IDCANCEL);
  });
  app.InitInstance();
  EXPECT_EQ(edit, "9");
}

TEST_F(PortListDialogTest, WithoutPortsTheListSaysSoAndItsLineSelectsNothing) {
  std::vector<std::string> lines;
  std::string edit;
  host.ScriptModal(ids::kTemplateId, [&](Dialog& d) {
    lines = host.Control(d, ids::kPortList).lines;
    host.ClickListLine(d, ids::kPortList, 0);
    edit = host.Control(d, ids::kPortEdit).text;
    host.Click(d, kt::ui::IDCANCEL);
  });
  app.InitInstance();
  EXPECT_EQ(lines, std::vector<std::string>{"未找到串口"});
  EXPECT_EQ(edit, "1");  // the preset stays
}

}  // namespace
