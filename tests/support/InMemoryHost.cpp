// The window host of the tests.
#include "InMemoryHost.h"

#include <stdexcept>

#include "ui/dialog/Dialog.h"

namespace kt::ui {

InMemoryHost::Window* InMemoryHost::Find(const Dialog& dialog) {
  auto it = windows_.find(&dialog);
  return it == windows_.end() ? nullptr : &it->second;
}

const InMemoryHost::Window* InMemoryHost::Find(const Dialog& dialog) const {
  auto it = windows_.find(&dialog);
  return it == windows_.end() ? nullptr : &it->second;
}

InMemoryHost::ControlState* InMemoryHost::FindControl(Dialog& dialog, int controlId) {
  Window* w = Find(dialog);
  if (w == nullptr || controlId == IDC_STATIC) return nullptr;
  auto it = w->controls.find(controlId);
  return it == w->controls.end() ? nullptr : &it->second;
}

void InMemoryHost::Realise(Dialog& dialog) {
  Window w;
  for (const auto& c : dialog.Template().controls) {
    if (c.id == IDC_STATIC) continue;
    ControlState s;
    s.tmpl = &c;
    s.text = c.text != nullptr ? c.text : "";
    s.visible = !c.Has(kHidden);
    s.enabled = !c.Has(kDisabled);
    w.controls.emplace(c.id, s);
  }
  windows_[&dialog] = std::move(w);
}

int InMemoryHost::RunModal(Dialog& dialog) {
  Realise(dialog);
  dialog.InitDialog();
  Window* w = Find(dialog);
  if (w == nullptr) return IDCANCEL;
  if (!w->ended) {
    w->modalRunning = true;
    auto& queue = modalScripts_[dialog.Template().id];
    if (queue.empty()) {
      ++unscriptedModals_;
      dialog.OnCommand(IDCANCEL);
    } else {
      ModalScript script = std::move(queue.front());
      queue.pop_front();
      script(dialog);
    }
    w = Find(dialog);
    if (w != nullptr && !w->ended) {
      ++unscriptedModals_;
      w->ended = true;
      w->result = IDCANCEL;
    }
  }
  if (w == nullptr) return IDCANCEL;
  w->modalRunning = false;
  return w->result;
}

void InMemoryHost::EndModal(Dialog& dialog, int result) {
  // Only the first end counts: a real dialog is gone once it has ended.
  if (Window* w = Find(dialog); w != nullptr && !w->ended) {
    w->ended = true;
    w->result = result;
  }
}

void InMemoryHost::FocusAndSelect(Dialog& dialog, int controlId) {
  if (FindControl(dialog, controlId) == nullptr) return;
  Window* w = Find(dialog);
  w->focus = controlId;
  w->focusSelected = true;
}

int InMemoryHost::FocusedControl(const Dialog& dialog) const {
  const Window* w = Find(dialog);
  return w != nullptr ? w->focus : 0;
}

bool InMemoryHost::FocusedTextSelected(const Dialog& dialog) const {
  const Window* w = Find(dialog);
  return w != nullptr && w->focusSelected;
}

void InMemoryHost::Type(Dialog& dialog, int controlId, const std::string& utf8) {
  SetText(dialog, controlId, utf8);
  if (Window* w = Find(dialog); w != nullptr && w->focus == controlId) w->focusSelected = false;
}

void InMemoryHost::DestroyWindow(Dialog& dialog) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    it = it->first.first == &dialog ? timers_.erase(it) : std::next(it);
  }
  windows_.erase(&dialog);
}

void InMemoryHost::SetText(Dialog& dialog, int controlId, const std::string& utf8) {
  if (ControlState* c = FindControl(dialog, controlId)) c->text = utf8;
}

std::string InMemoryHost::GetText(Dialog& dialog, int controlId) {
  ControlState* c = FindControl(dialog, controlId);
  return c != nullptr ? c->text : std::string();
}

void InMemoryHost::SetCheck(Dialog& dialog, int controlId, bool checked) {
  if (ControlState* c = FindControl(dialog, controlId)) c->checked = checked;
}

bool InMemoryHost::GetCheck(Dialog& dialog, int controlId) {
  ControlState* c = FindControl(dialog, controlId);
  return c != nullptr && c->checked;
}

void InMemoryHost::SetListLines(Dialog& dialog, int controlId,
                                const std::vector<std::string>& utf8Lines) {
  if (ControlState* c = FindControl(dialog, controlId)) c->lines = utf8Lines;
}

void InMemoryHost::ShowControl(Dialog& dialog, int controlId, bool visible) {
  if (ControlState* c = FindControl(dialog, controlId)) c->visible = visible;
}

void InMemoryHost::EnableControl(Dialog& dialog, int controlId, bool enabled) {
  if (ControlState* c = FindControl(dialog, controlId)) c->enabled = enabled;
}

void InMemoryHost::Repaint(Dialog& dialog, int controlId) {
  if (ControlState* c = FindControl(dialog, controlId)) {
    ++c->repaints;
    c->lastColor = dialog.OnCtlColor(controlId, ColorTypeOf(*c->tmpl));
  }
}

void InMemoryHost::SetTimer(Dialog& dialog, unsigned timerId, unsigned periodMs) {
  if (Find(dialog) == nullptr) return;
  // A period of 0 would fire for ever without time passing; the shortest real period is 1 ms.
  const unsigned period = periodMs > 0 ? periodMs : 1;
  timers_[{&dialog, timerId}] = Timer{period, clock_.ElapsedMs() + period};
}

void InMemoryHost::KillTimer(Dialog& dialog, unsigned timerId) {
  timers_.erase({&dialog, timerId});
}

void InMemoryHost::MessageBox(Dialog* owner, const std::string& utf8) {
  messages_.push_back({owner != nullptr ? owner->Template().id : 0, utf8});
  if (messageBoxScript_) {
    MessageBoxScript script = messageBoxScript_;  // the script may replace itself
    script(utf8);
  }
}

bool InMemoryHost::AskYesNo(Dialog* owner, const std::string& utf8) {
  messages_.push_back({owner != nullptr ? owner->Template().id : 0, utf8});
  return answerYes_;
}

void InMemoryHost::SetDialogBkColor(uint32_t background, uint32_t text) {
  background_ = background;
  textColor_ = text;
}

void InMemoryHost::ScriptModal(int templateId, ModalScript script) {
  modalScripts_[templateId].push_back(std::move(script));
}

void InMemoryHost::Open(Dialog& dialog) {
  Realise(dialog);
  dialog.InitDialog();
}

void InMemoryHost::Close(Dialog& dialog) {
  if (Find(dialog) != nullptr) dialog.DestroyWindow();  // also after it has ended
}

bool InMemoryHost::Click(Dialog& dialog, int controlId) {
  if (!IsOpen(dialog)) return false;
  ControlState* c = FindControl(dialog, controlId);
  if (c == nullptr || !c->visible || !c->enabled) return false;
  if (c->tmpl->kind == ControlKind::RadioButton && c->tmpl->Has(kAutoRadio)) c->checked = true;
  if (c->tmpl->kind == ControlKind::CheckBox) c->checked = !c->checked;
  dialog.OnCommand(controlId);
  return true;
}

bool InMemoryHost::ClickListLine(Dialog& dialog, int controlId, int line) {
  if (!IsOpen(dialog)) return false;
  ControlState* c = FindControl(dialog, controlId);
  const bool lined = c != nullptr &&
                     (c->tmpl->kind == ControlKind::ListBox || c->tmpl->kind == ControlKind::Table);
  if (!lined || !c->visible || !c->enabled) {
    return false;
  }
  if (line < 0 || static_cast<size_t>(line) >= c->lines.size()) return false;
  dialog.OnListClick(controlId, line);
  return true;
}

void InMemoryHost::PressEnter(Dialog& dialog) {
  if (IsOpen(dialog)) dialog.OnCommand(IDOK);
}

void InMemoryHost::PressEscape(Dialog& dialog) {
  if (IsOpen(dialog)) dialog.OnCommand(IDCANCEL);
}

void InMemoryHost::RunFor(uint32_t ms) {
  const uint64_t target = clock_.ElapsedMs() + ms;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (!IsOpen(*it->first.first)) continue;  // an ended dialog gets no more events
      if (next == timers_.end() || it->second.dueMs < next->second.dueMs) next = it;
    }
    if (next == timers_.end() || next->second.dueMs > target) break;
    const uint64_t now = clock_.ElapsedMs();
    if (next->second.dueMs > now) clock_.Advance(static_cast<uint32_t>(next->second.dueMs - now));
    // A tick that fell due while a handler blocked comes once, late; the next one a period on.
    next->second.dueMs = clock_.ElapsedMs() + next->second.periodMs;
    Dialog* dialog = next->first.first;
    const unsigned timerId = next->first.second;
    dialog->OnTimer(timerId);
  }
  const uint64_t now = clock_.ElapsedMs();
  if (target > now) clock_.Advance(static_cast<uint32_t>(target - now));
}

bool InMemoryHost::IsOpen(const Dialog& dialog) const {
  const Window* w = Find(dialog);
  return w != nullptr && !w->ended;
}

bool InMemoryHost::HasControl(const Dialog& dialog, int controlId) const {
  const Window* w = Find(dialog);
  return w != nullptr && w->controls.count(controlId) != 0;
}

const InMemoryHost::ControlState& InMemoryHost::Control(const Dialog& dialog, int controlId) const {
  const Window* w = Find(dialog);
  if (w == nullptr) throw std::out_of_range("dialog not open");
  auto it = w->controls.find(controlId);
  if (it == w->controls.end()) throw std::out_of_range("no control " + std::to_string(controlId));
  return it->second;
}

bool InMemoryHost::TimerRunning(const Dialog& dialog, unsigned timerId) const {
  return timers_.count({const_cast<Dialog*>(&dialog), timerId}) != 0;
}

unsigned InMemoryHost::TimerPeriod(const Dialog& dialog, unsigned timerId) const {
  auto it = timers_.find({const_cast<Dialog*>(&dialog), timerId});
  return it == timers_.end() ? 0 : it->second.periodMs;
}

}  // namespace kt::ui
