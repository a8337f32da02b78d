// A dialog of the host tests: records what the host sends it and lets a test decide the rest.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "ui/dialog/Dialog.h"

namespace kt::ui::qt::test {

class RecordingDialog : public Dialog {
 public:
  using Dialog::Dialog;

  std::vector<int> commands;
  std::map<unsigned, int> ticks;
  // Decides about a command; returning false passes it to the base (IDOK/IDCANCEL end the dialog).
  std::function<bool(int)> onCommand;
  std::function<void(unsigned)> onTimer;
  std::function<CtlColor(int, CtlColorType)> onCtlColor;
  std::function<void()> onInit;
  // A control the dialog focuses itself as it opens, its text selected (0: left to the manager).
  int selectAtStart = 0;

  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    if (onInit) onInit();
    if (selectAtStart == 0) return true;
    FocusAndSelect(selectAtStart);
    return false;
  }
  bool OnCommand(int id) override {
    commands.push_back(id);
    if (onCommand && onCommand(id)) return true;
    return Dialog::OnCommand(id);
  }
  void OnTimer(unsigned id) override {
    ++ticks[id];
    if (onTimer) onTimer(id);
  }
  CtlColor OnCtlColor(int id, CtlColorType type) override {
    return onCtlColor ? onCtlColor(id, type) : Dialog::OnCtlColor(id, type);
  }
};

}  // namespace kt::ui::qt::test
