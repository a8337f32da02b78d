// The whole program on the real widgets with port 1 on kt7340-sim (through KT7340_COM1) and a
// fixed port list rather than this machine's, and the user's hands on its modal dialogs.
#pragma once

#include <QTest>
#include <cstdlib>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "SimProcess.h"
#include "app/CMonitorApp.h"
#include "modbus/Clock.h"
#include "qt/QtWindowHost.h"
#include "serial/PosixSerialPort.h"

namespace kt::ui::qt::test {

struct SimulatedSession {
  explicit SimulatedSession(const std::vector<std::string>& simArgs) : sim(simArgs) {
    setenv("KT7340_COM1", sim.path().c_str(), 1);
  }
  ~SimulatedSession() { unsetenv("KT7340_COM1"); }
  SimulatedSession(const SimulatedSession&) = delete;
  SimulatedSession& operator=(const SimulatedSession&) = delete;

  sim::testing::SimProcess sim;
  QtWindowHost host;
  serial::PosixSerialPort port;
  modbus::SteadyClock clock;
  app::CMonitorApp theApp{
      host, port, clock, [] {
        return std::vector<serial::PortInfo>{{"ttyUSB0", "/dev/ttyUSB0", "test adapter"}};
      }};
};

// The modal dialog on top when it was made from the template `templateId`, or nullptr.
inline QWidget* Modal(int templateId) {
  QWidget* top = ActiveModal();
  return top != nullptr && top->objectName() == QStringLiteral("dialog%1").arg(templateId)
             ? top
             : nullptr;
}

inline void Click(int dialog, int id) {
  QWidget* c = ControlIn(Modal(dialog), id);
  ASSERT_NE(c, nullptr) << dialog << "/" << id;
  QTest::mouseClick(c, Qt::LeftButton);
}

}  // namespace kt::ui::qt::test
