// Helpers of the Qt host tests: run a dialog modally while a callback plays the user.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <exception>
#include <functional>

#include <gtest/gtest.h>

#include "ui/dialog/Dialog.h"

namespace kt::ui::qt::test {

// The modal dialog on top (a QDialog or QMessageBox), or nullptr.
inline QWidget* ActiveModal() {
  return QApplication::activeModalWidget();
}

template <typename W = QWidget>
W* ControlIn(QWidget* window, int id) {
  return window == nullptr ? nullptr : window->findChild<W*>(QString::number(id));
}

// Calls `step` once the event loop runs, to play the user inside `dialog`'s modal loop. A failed
// assertion or an exception in the step still ends the dialog (with IDCANCEL), so the test fails
// at once instead of waiting in a loop nobody ends.
inline void UserStep(Dialog& dialog, std::function<void()> step) {
  QTimer::singleShot(0, [&dialog, step = std::move(step)] {
    bool failed = false;
    try {
      step();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "exception in a modal step: " << e.what();
      failed = true;
    } catch (...) {
      ADD_FAILURE() << "exception in a modal step";
      failed = true;
    }
    if (failed || ::testing::Test::HasFatalFailure()) dialog.EndDialog(IDCANCEL);
  });
}

// Polls `condition` every 20 ms inside whatever loop runs; calls `then` when it holds, or
// `timedOut` after `limitMs`.
inline void WhenTrue(const std::function<bool()>& condition, const std::function<void()>& then,
                     int limitMs, const std::function<void()>& timedOut) {
  auto* clock = new QElapsedTimer;
  clock->start();
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [=] {
    if (condition()) {
      timer->stop();
      timer->deleteLater();
      delete clock;
      then();
    } else if (clock->elapsed() > limitMs) {
      timer->stop();
      timer->deleteLater();
      delete clock;
      timedOut();
    }
  });
  timer->start();
}

// Processes events for about `ms` milliseconds (outside any modal loop).
inline void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace kt::ui::qt::test
