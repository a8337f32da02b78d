// The whole program on the real widgets with port 1 on kt7340-sim (through KT7340_COM1) and a
// fixed port list rather than this machine's, and the user's hands on its modal dialogs: the steps
// of a StepScript, polled from a timer, so they go on inside every modal loop an action opens.
#pragma once

#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "SimProcess.h"
#include "StepScript.h"
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

class SessionDriver : public kt::testing::StepScript {
 public:
  void Then(std::string name, std::function<bool()> ready, std::function<void()> act,
            int limitMs = 15000) {
    StepScript::Then(std::move(name), std::move(ready), std::move(act), limitMs);
  }

  // Starts polling the steps; a step that is not ready within its limit fails the session, which
  // then cancels every open dialog and message box so that the program can end.
  void Start() {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    timer_.start(20);
  }

 private:
  void Tick() {
    QWidget* top = ActiveModal();
    auto* box = qobject_cast<QMessageBox*>(top);
    if (Failed()) {
      if (box != nullptr && !box->buttons().isEmpty()) box->buttons().front()->click();
      if (box == nullptr && top != nullptr) top->close();  // the close box: Cancel
      return;
    }
    if (busy_) return;
    std::function<void()> act = Poll(clock_.elapsed(), &TopDescription);
    if (!act) return;
    busy_ = true;  // an action that opens a modal loop must not run the next step's check
    QTimer::singleShot(0, [this, act = std::move(act)] {
      busy_ = false;
      act();
    });
  }

  static std::string TopDescription() {
    QWidget* top = ActiveModal();
    auto* box = qobject_cast<QMessageBox*>(top);
    if (top == nullptr) return "no modal window";
    return box != nullptr ? "message " + box->text().toStdString()
                          : top->objectName().toStdString();
  }

  bool busy_ = false;
  QElapsedTimer clock_;
  QTimer timer_;
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

inline QString Text(int dialog, int id) {
  QWidget* w = Modal(dialog);
  if (auto* e = ControlIn<QLineEdit>(w, id)) return e->text();
  if (auto* m = ControlIn<QPlainTextEdit>(w, id)) return m->toPlainText();
  if (auto* b = ControlIn<QPushButton>(w, id)) return b->text();
  return {};
}

inline void Type(int dialog, int id, const QString& text) {
  auto* e = ControlIn<QLineEdit>(Modal(dialog), id);
  ASSERT_NE(e, nullptr) << dialog << "/" << id;
  e->setFocus();
  e->selectAll();
  QTest::keyClicks(e, text);
}

}  // namespace kt::ui::qt::test
