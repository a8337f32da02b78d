// Plays a user through a whole session on the Qt widgets: the steps of a StepScript, polled from
// a timer, so they go on inside every modal loop an action opens.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <string>

#include "StepScript.h"

namespace kt::ui::qt::test {

class SessionDriver {
 public:
  void Then(std::string name, std::function<bool()> ready, std::function<void()> act,
            int limitMs = 15000) {
    script_.Then(std::move(name), std::move(ready), std::move(act), limitMs);
  }

  // Starts polling the steps; a step that is not ready within its limit fails the session, which
  // then cancels every open dialog and message box so that the program can end.
  void Start() {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    timer_.start(20);
  }

  bool Done() const { return script_.Done(); }
  const std::string& Failure() const { return script_.Failure(); }

 private:
  void Tick() {
    if (script_.Failed()) {
      Escape();
      return;
    }
    if (busy_) return;
    std::function<void()> act = script_.Poll(clock_.elapsed(), &TopDescription);
    if (!act) return;
    busy_ = true;  // an action that opens a modal loop must not run the next step's check
    QTimer::singleShot(0, [this, act = std::move(act)] {
      busy_ = false;
      act();
    });
  }

  static std::string TopDescription() {
    QWidget* top = QApplication::activeModalWidget();
    if (top == nullptr) return "no modal window";
    if (auto* box = qobject_cast<QMessageBox*>(top)) return "message " + box->text().toStdString();
    return top->objectName().toStdString();
  }

  static void Escape() {
    QWidget* top = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(top)) {
      if (!box->buttons().isEmpty()) box->buttons().front()->click();
    } else if (top != nullptr) {
      top->close();  // the close box: Cancel
    }
  }

  kt::testing::StepScript script_;
  bool busy_ = false;
  QElapsedTimer clock_;
  QTimer timer_;
};

}  // namespace kt::ui::qt::test
