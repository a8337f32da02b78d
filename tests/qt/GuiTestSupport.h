// Helpers of the Qt host tests: run a dialog modally while a callback plays the user.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

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

// Calls `step` once the event loop runs (inside the next modal loop that starts).
inline void WhenLoopRuns(std::function<void()> step) {
  QTimer::singleShot(0, std::move(step));
}

// Polls `condition` every 20 ms inside whatever loop runs; calls `then` when it holds, or
// `timedOut` after `limitMs`.
inline void WhenTrue(std::function<bool()> condition, std::function<void()> then, int limitMs,
                     std::function<void()> timedOut) {
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
