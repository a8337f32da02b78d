// The dialog base over the window host.
#include "ui/dialog/Dialog.h"

#include <algorithm>

#include "ui/dialog/DataExchange.h"

namespace kt::ui {

int Dialog::DoModal() {
  const int result = host_.RunModal(*this);
  DestroyWindow();
  return result;
}

void Dialog::EndDialog(int result) {
  host_.EndModal(*this, result);
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

bool Dialog::OnCommand(int commandId) {
  switch (commandId) {
    case IDOK:
      OnOK();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
    default:
      return false;
  }
}

CtlColor Dialog::OnCtlColor(int controlId, CtlColorType type) {
  (void)controlId;
  (void)type;
  return CtlColor{};
}

bool Dialog::DestroyWindow() {
  timersSet_.clear();  // the window's timers go with it
  host_.DestroyWindow(*this);
  return true;
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(*this, saveAndValidate);
  try {
    DoDataExchange(dx);
    return true;
  } catch (const DataExchangeFailure& failure) {
    ++openPrompts_;
    try {
      host_.MessageBox(this, failure.what());
    } catch (...) {
      --openPrompts_;
      throw;
    }
    --openPrompts_;
    return false;
  }
}

void Dialog::SetDlgItemText(int controlId, const std::string& utf8) {
  host_.SetText(*this, controlId, utf8);
}

std::string Dialog::GetDlgItemText(int controlId) {
  return host_.GetText(*this, controlId);
}

void Dialog::SetListLines(int controlId, const std::vector<std::string>& utf8Lines) {
  host_.SetListLines(*this, controlId, utf8Lines);
}

void Dialog::CheckRadioButton(int firstId, int lastId, int checkId) {
  for (int id = firstId; id <= lastId; ++id) host_.SetCheck(*this, id, id == checkId);
}

bool Dialog::IsDlgButtonChecked(int controlId) {
  return host_.GetCheck(*this, controlId);
}

void Dialog::ShowControl(int controlId, bool visible) {
  host_.ShowControl(*this, controlId, visible);
}

void Dialog::EnableControl(int controlId, bool enabled) {
  host_.EnableControl(*this, controlId, enabled);
}

void Dialog::RedrawControl(int controlId) {
  host_.Repaint(*this, controlId);
}

void Dialog::InitDialog() {
  if (!OnInitDialog()) return;
  if (const ControlTemplate* first = template_.FirstTabStop()) FocusAndSelect(first->id);
}

void Dialog::FocusAndSelect(int controlId) {
  host_.FocusAndSelect(*this, controlId);
}

void Dialog::SetTimer(unsigned timerId, unsigned periodMs) {
  host_.SetTimer(*this, timerId, periodMs);
  if (!TimerSet(timerId)) timersSet_.push_back(timerId);
}

void Dialog::KillTimer(unsigned timerId) {
  host_.KillTimer(*this, timerId);
  std::erase(timersSet_, timerId);
}

bool Dialog::TimerSet(unsigned timerId) const {
  return std::find(timersSet_.begin(), timersSet_.end(), timerId) != timersSet_.end();
}

void Dialog::AfxMessageBox(const std::string& utf8) {
  host_.MessageBox(this, utf8);
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() {
  EndDialog(IDCANCEL);
}

}  // namespace kt::ui
