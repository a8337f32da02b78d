// Plays a user through a whole session: steps that wait for a condition, then act. The steps
// run from a polling timer, so they go on inside every modal loop an action opens.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace kt::ui::qt::test {

class SessionDriver {
 public:
  struct Step {
    std::string name;
    std::function<bool()> ready;
    std::function<void()> act;
    int limitMs = 15000;
  };

  void Then(std::string name, std::function<bool()> ready, std::function<void()> act,
            int limitMs = 15000) {
    steps_.push_back({std::move(name), std::move(ready), std::move(act), limitMs});
  }

  // Starts polling the steps; a step that is not ready within its limit fails the session, which
  // then cancels every open dialog and message box so that the program can end.
  void Start() {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    timer_.start(20);
  }

  bool Done() const { return next_ == steps_.size(); }
  const std::string& Failure() const { return failure_; }

 private:
  void Tick() {
    if (!failure_.empty()) {
      Escape();
      return;
    }
    if (Done() || busy_) return;
    Step& s = steps_[next_];
    if (s.ready()) {
      ++next_;
      clock_.restart();
      busy_ = true;  // an action that opens a modal loop must not run the next step's check
      QTimer::singleShot(0, [this, act = s.act] {
        busy_ = false;
        act();
      });
    } else if (clock_.elapsed() > s.limitMs) {
      failure_ = "step \"" + s.name + "\" not reached; on top: " + TopDescription();
    }
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

  std::vector<Step> steps_;
  size_t next_ = 0;
  bool busy_ = false;
  std::string failure_;
  QElapsedTimer clock_;
  QTimer timer_;
};

}  // namespace kt::ui::qt::test
