// A dialog's window: realises the template, dispatches commands, keys, timers and colours.
#include "win32/DialogWindow.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <utility>

#include "platform/win32/WideText.h"
#include "ui/dialog/ControlValues.h"
#include "win32/DialogTemplateBytes.h"
#include "win32/ListControls.h"
#include "win32/PageKeys.h"
#include "win32/ScreenPlacement.h"

namespace kt::ui::win32 {
namespace {

using platform::win32::Utf8FromWide;
using platform::win32::WideFromUtf8;

constexpr const wchar_t* kWindowProperty = L"kt7340.DialogWindow";
constexpr const wchar_t* kDialogClass = L"#32770";
constexpr UINT_PTR kListBoxSubclass = 1;
// A window timer's shortest period; a zero period must not spin the loop.
constexpr unsigned kShortestTimerMs = USER_TIMER_MINIMUM;

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

// The window whose keyboard handling a message takes: `dialog`, or the top-level window of this
// program it is for when that one steps through its controls by keyboard without being a dialog
// (the workbench window, WS_EX_CONTROLPARENT). Dialogs keep their own Enter and Escape.
HWND KeyboardWindowOf(const MSG& msg, HWND dialog) {
  if (msg.hwnd == nullptr) return dialog;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (root == nullptr || root == dialog) return dialog;
  if (GetWindowThreadProcessId(root, nullptr) != GetCurrentThreadId()) return dialog;
  if ((GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) == 0) return dialog;
  constexpr int kClassLength = 16;
  wchar_t windowClass[kClassLength] = {};
  GetClassNameW(root, windowClass, kClassLength);
  if (lstrcmpW(windowClass, kDialogClass) == 0) return dialog;
  return root;
}

bool SameColours(const CtlColor& a, const CtlColor& b) {
  return a.useDefault == b.useDefault && a.transparentBackground == b.transparentBackground &&
         a.textColor == b.textColor && a.brushColor == b.brushColor;
}

bool IsButton(ControlKind kind) {
  return kind == ControlKind::PushButton || kind == ControlKind::RadioButton ||
         kind == ControlKind::CheckBox;
}

// What of a vertical scroll bar shows: its range, page, position, thumb and state.
struct ShownScrollBar {
  SCROLLINFO info{};
  SCROLLBARINFO bar{};
};

ShownScrollBar ScrollBarOf(HWND window) {
  ShownScrollBar shown;
  shown.info.cbSize = sizeof shown.info;
  shown.info.fMask = SIF_ALL;
  GetScrollInfo(window, SB_VERT, &shown.info);
  shown.bar.cbSize = sizeof shown.bar;
  GetScrollBarInfo(window, OBJID_VSCROLL, &shown.bar);
  return shown;
}

bool SameScrollBar(const ShownScrollBar& a, const ShownScrollBar& b) {
  return a.info.nMin == b.info.nMin && a.info.nMax == b.info.nMax && a.info.nPage == b.info.nPage &&
         a.info.nPos == b.info.nPos && EqualRect(&a.bar.rcScrollBar, &b.bar.rcScrollBar) &&
         a.bar.xyThumbTop == b.bar.xyThumbTop && a.bar.xyThumbBottom == b.bar.xyThumbBottom &&
         std::equal(std::begin(a.bar.rgstate), std::end(a.bar.rgstate), std::begin(b.bar.rgstate));
}

// Sets an edit's text. A multi-line edit with a vertical scroll bar redraws the bar as the text
// grows: under wine that costs five to ten times the setting itself (300 characters: about
// 15 ms against 2.7 ms), every poll. The box draws nothing meanwhile (it is marked invisible
// for the moment, as WM_SETREDRAW does on Windows, without hiding it); then its
// text is drawn once, and its frame, which holds the bar, only when the bar changed: the echo
// boxes take texts of about the same length every poll, and drawing the themed bar costs more
// than the text. A box with the focus is set as it is, as is one the dialog hid.
void SetEditText(HWND edit, bool scrollBar, const std::wstring& text) {
  const bool quiet =
      scrollBar && GetFocus() != edit && (GetWindowLongW(edit, GWL_STYLE) & WS_VISIBLE) != 0;
  if (!quiet) {
    SetWindowTextW(edit, text.c_str());
    return;
  }
  const ShownScrollBar before = ScrollBarOf(edit);
  // Wine's edit draws its bar through WM_SETREDRAW; without the visible style it draws nothing.
  const LONG style = GetWindowLongW(edit, GWL_STYLE);
  SetWindowLongW(edit, GWL_STYLE, style & ~static_cast<LONG>(WS_VISIBLE));
  SetWindowTextW(edit, text.c_str());
  SetWindowLongW(edit, GWL_STYLE, style);
  // Wine marks the frame to be drawn when the style turns visible again: that is undone.
  UINT redraw = RDW_INVALIDATE | RDW_ERASE;
  if (SameScrollBar(before, ScrollBarOf(edit))) {
    RedrawWindow(edit, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
  } else {
    redraw |= RDW_FRAME;
  }
  RedrawWindow(edit, nullptr, nullptr, redraw);
}

}  // namespace

DialogWindow::DialogWindow(Dialog& dialog, HWND owner, const DialogColors& colors, HICON icon,
                           FailureReport reportFailure)
    : dialog_(&dialog),
      owner_(owner),
      colors_(colors),
      icon_(icon),
      reportFailure_(std::move(reportFailure)) {}

DialogWindow::~DialogWindow() {
  Detach();
  if (hwnd_ != nullptr) {
    RemovePropW(hwnd_, kWindowProperty);
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    ::DestroyWindow(hwnd_);
  }
}

DialogWindow* DialogWindow::Of(HWND hwnd) {
  return hwnd != nullptr ? static_cast<DialogWindow*>(GetPropW(hwnd, kWindowProperty)) : nullptr;
}

bool DialogWindow::Create() {
  const std::vector<uint32_t> bytes = BuildDialogTemplate(dialog_->Template(), owner_ == nullptr);
  hwnd_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                     reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner_,
                                     &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  if (hwnd_ == nullptr) return false;
  if (owner_ != nullptr) CentreOverOwner(hwnd_, owner_);
  if (icon_ != nullptr) {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }
  TakeControls();
  // A fixed dialog taller than its screen (large fonts on a small one) scrolls; a resizable one
  // is made no smaller than its template anyway.
  if (!dialog_->Template().Has(kResizable)) frame_.FitOnScreen(hwnd_);
  return true;
}

void DialogWindow::TakeControls() {
  // The dialog manager makes the children in template order, which is their Z order.
  HWND child = GetWindow(hwnd_, GW_CHILD);
  for (const ControlTemplate& c : dialog_->Template().controls) {
    if (!HasWindow(c)) continue;
    if (child == nullptr) break;
    controls_.push_back(Control{&c, child, c.text != nullptr ? c.text : "", std::nullopt});
    child = GetWindow(child, GW_HWNDNEXT);
  }
  if (dialog_->Template().Has(kResizable)) {
    std::vector<EdgeLayout::Placed> placed;
    for (const Control& c : controls_) placed.push_back({c.tmpl, c.hwnd});
    layout_.emplace(hwnd_, placed);
  }
  for (Control& c : controls_) {
    if (c.tmpl->kind == ControlKind::Table) {
      SetTableHeadings(c.hwnd, c.text);
    } else if (c.tmpl->kind == ControlKind::ProgressBar) {
      SendMessageW(c.hwnd, PBM_SETRANGE32, 0, 100);
      SendMessageW(c.hwnd, PBM_SETPOS, static_cast<WPARAM>(ProgressPercent(c.text)), 0);
    } else if (c.tmpl->kind == ControlKind::ListBox) {
      SetWindowSubclass(c.hwnd, &DialogWindow::ListBoxProc, kListBoxSubclass,
                        reinterpret_cast<DWORD_PTR>(this));
    }
    if (c.tmpl->id != IDC_STATIC) Recolor(c, false);
    if (c.tmpl->kind == ControlKind::Table) {
      ColourTable(c.hwnd, c.colour.value_or(CtlColor{}), colors_);
    }
  }
}

void DialogWindow::Detach() {
  for (const unsigned id : timers_) {
    if (hwnd_ != nullptr) ::KillTimer(hwnd_, id);
  }
  timers_.clear();
  dialog_ = nullptr;
}

DialogWindow::Control* DialogWindow::Find(int controlId) {
  if (controlId == IDC_STATIC) return nullptr;
  for (Control& c : controls_) {
    if (c.tmpl->id == controlId) return &c;
  }
  return nullptr;
}

DialogWindow::Control* DialogWindow::FindByHandle(HWND hwnd) {
  for (Control& c : controls_) {
    if (c.hwnd == hwnd) return &c;
  }
  return nullptr;
}

void DialogWindow::SetControlText(Control& c, const std::string& utf8) {
  switch (c.tmpl->kind) {
    case ControlKind::Edit: {
      const bool typed = !c.tmpl->Has(kReadOnly) &&
                         (!c.tmpl->Has(kMultiLine) || SendMessageW(c.hwnd, EM_GETMODIFY, 0, 0));
      // An editable box shows what the user typed; set it unless it shows this text already.
      const bool same = typed ? ControlText(c) == utf8 : c.text == utf8;
      if (!same)
        SetEditText(c.hwnd, c.tmpl->Has(kMultiLine) && c.tmpl->Has(kVScroll), EditText(utf8));
      break;
    }
    case ControlKind::ProgressBar:
      SendMessageW(c.hwnd, PBM_SETPOS, static_cast<WPARAM>(ProgressPercent(utf8)), 0);
      break;
    case ControlKind::Table:
    case ControlKind::ListBox:
    case ControlKind::SerialControl:
      break;
    default:
      if (c.text != utf8) SetWindowTextW(c.hwnd, platform::win32::WideFromUtf8(utf8).c_str());
  }
  c.text = utf8;
  Recolor(c, false);
}

std::string DialogWindow::ControlText(const Control& c) const {
  // What the user typed counts; a read-only box keeps the text as it was set.
  if (c.tmpl->kind != ControlKind::Edit || c.tmpl->Has(kReadOnly)) return c.text;
  if (c.tmpl->Has(kMultiLine) && !SendMessageW(c.hwnd, EM_GETMODIFY, 0, 0)) return c.text;
  return platform::win32::Utf8FromWide(WindowText(c.hwnd));
}

void DialogWindow::SetListLines(Control& c, const std::vector<std::string>& utf8Lines) {
  if (c.tmpl->kind == ControlKind::ListBox) {
    SetListBoxLines(c.hwnd, utf8Lines);
  } else if (c.tmpl->kind == ControlKind::Table) {
    fillingTable_ = true;
    SetTableRows(c.hwnd, utf8Lines);
    fillingTable_ = false;
  }
}

void DialogWindow::Recolor(Control& c, bool always) {
  if (dialog_ == nullptr) return;
  CtlColor decision;
  const CtlColorType type = ColorTypeOf(*c.tmpl);
  Dispatch([&](Dialog& d) { decision = d.OnCtlColor(c.tmpl->id, type); });
  const bool changed = !c.colour.has_value() || !SameColours(*c.colour, decision);
  const bool known = c.colour.has_value();
  c.colour = decision;
  if (c.tmpl->kind == ControlKind::Table && changed) ColourTable(c.hwnd, decision, colors_);
  // A control drawn before with other colours is drawn again; the same colours leave it be.
  if (always || (changed && known)) InvalidateRect(c.hwnd, nullptr, TRUE);
}

void DialogWindow::FocusAndSelect(const Control& c) {
  if (hwnd_ == nullptr) return;
  if (!IsWindowVisible(hwnd_)) {
    pendingFocus_ = c.hwnd;
    return;
  }
  SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c.hwnd), TRUE);
  if (c.tmpl->kind == ControlKind::Edit) SendMessageW(c.hwnd, EM_SETSEL, 0, -1);
}

void DialogWindow::StartTimer(unsigned timerId, unsigned periodMs) {
  if (hwnd_ == nullptr) return;
  // Setting a running timer again restarts its period.
  ::SetTimer(hwnd_, timerId, std::max(kShortestTimerMs, std::min(periodMs, 0x7FFFFFFFu)), nullptr);
  timers_.insert(timerId);
}

void DialogWindow::StopTimer(unsigned timerId) {
  if (timers_.erase(timerId) != 0 && hwnd_ != nullptr) ::KillTimer(hwnd_, timerId);
}

void DialogWindow::EndModal(int result) {
  ended_ = true;
  result_ = result;
  // Wakes the loop so that it sees the end at once.
  if (hwnd_ != nullptr) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void DialogWindow::RunModalLoop() {
  if (ended_ || hwnd_ == nullptr) return;
  const HWND self = hwnd_;
  const bool ownerWasEnabled = owner_ != nullptr && !EnableWindow(owner_, FALSE);
  ShowWindow(self, SW_SHOW);
  UpdateWindow(self);
  if (const Control* c = FindByHandle(std::exchange(pendingFocus_, nullptr))) FocusAndSelect(*c);
  MSG msg{};
  while (!ended_ && IsWindow(self)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that ends the program
      break;
    }
    if (got < 0) break;
    // Tab and the arrows step through the controls of the window the key is for: the dialog's,
    // or those of a modeless window of the program beside it.
    if (PassPageKey(msg) || TakeEnter(msg)) continue;
    if (!IsDialogMessageW(KeyboardWindowOf(msg, self), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    // In a dialog that scrolls, the control that just took the focus (Tab, a mnemonic) comes
    // into view; the wheel may then scroll away from it. Only such a dialog asks for the focus
    // after each message: under wine that is a round trip to the server, and a poll tick brings
    // a message for each box it changed.
    if (!frame_.Scrolls()) continue;
    if (const HWND focus = GetFocus(); focus != revealedFocus_) {
      revealedFocus_ = focus;
      if (hwnd_ != nullptr) frame_.Reveal(hwnd_, focus);
    }
  }
  // The owner takes the focus back before this window hides, so no other program's does.
  if (owner_ != nullptr && ownerWasEnabled) EnableWindow(owner_, TRUE);
  if (IsWindow(self)) {
    if (owner_ != nullptr && GetActiveWindow() == self) SetActiveWindow(owner_);
    ShowWindow(self, SW_HIDE);
  }
}

bool DialogWindow::TakeEnter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || dialog_ == nullptr) return false;
  const Control* focused = FindByHandle(msg.hwnd);
  if (focused == nullptr && msg.hwnd != hwnd_) return false;
  Command(dialog_->Template().EnterCommand(focused != nullptr ? focused->tmpl->id : IDC_STATIC));
  return true;
}

void DialogWindow::Command(int commandId) {
  Dispatch([commandId](Dialog& d) { d.OnCommand(commandId); });
}

void DialogWindow::ListPick(int controlId, int line) {
  Dispatch([controlId, line](Dialog& d) { d.OnListClick(controlId, line); });
}

void DialogWindow::Dispatch(const std::function<void(Dialog&)>& call) {
  if (dialog_ == nullptr) return;
  Dialog& d = *dialog_;
  ++dispatchDepth_;
  try {
    call(d);
  } catch (const std::exception& e) {
    if (reportFailure_) reportFailure_(d, e.what());
  }
  --dispatchDepth_;
}

const ControlTemplate* DialogWindow::TemplateOf(HWND hwnd) const {
  for (const Control& c : controls_) {
    if (c.hwnd == hwnd) return c.tmpl;
  }
  return nullptr;
}

INT_PTR DialogWindow::OnControlColour(HDC dc, HWND control) {
  Control* c = FindByHandle(control);
  if (c == nullptr || dialog_ == nullptr) {
    return reinterpret_cast<INT_PTR>(ColourDialog(dc, colors_, brushes_));
  }
  const CtlColorType type = ColorTypeOf(*c->tmpl);
  CtlColor decision;
  Dispatch([&](Dialog& d) { decision = d.OnCtlColor(c->tmpl->id, type); });
  if (c->tmpl->id != IDC_STATIC) c->colour = decision;
  return reinterpret_cast<INT_PTR>(ColourControl(dc, type, decision, colors_, brushes_));
}

bool DialogWindow::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
  const int id = static_cast<int16_t>(LOWORD(wParam));
  const UINT code = HIWORD(wParam);
  const auto control = PointerFrom<HWND>(lParam);
  if (control == nullptr) {
    // Enter and Escape through the dialog manager (IDOK, IDCANCEL without a button of theirs).
    if (id != IDC_STATIC) Command(id);
    return true;
  }
  const Control* c = FindByHandle(control);
  if (c == nullptr) return false;
  if (IsButton(c->tmpl->kind) && code == BN_CLICKED) {
    Command(c->tmpl->id);
    return true;
  }
  if (c->tmpl->kind == ControlKind::ListBox && code == LBN_SELCHANGE) {
    if (listMouse_) return true;  // a click: picked when the button goes up
    const auto line = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
    if (line >= 0) ListPick(c->tmpl->id, line);
    return true;
  }
  return false;
}

bool DialogWindow::OnNotify(const NMHDR& header) {
  const Control* c = FindByHandle(header.hwndFrom);
  if (c == nullptr || c->tmpl->kind != ControlKind::Table) return false;
  if (header.code == LVN_ITEMCHANGED) {
    // A row chosen with the keys is picked as one clicked.
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const bool selected =
        (change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0;
    if (selected && change.iItem >= 0 && !fillingTable_) ListPick(c->tmpl->id, change.iItem);
    return true;
  }
  if (header.code != NM_CLICK && header.code != NM_DBLCLK) return false;
  const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
  if (row < 0) return true;
  const int id = c->tmpl->id;
  ListPick(id, row);
  // A double click on a row is the click on it, then the table's own command.
  if (header.code == NM_DBLCLK) Command(id);
  return true;
}

INT_PTR DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(ColourDialog(PointerFrom<HDC>(wParam), colors_, brushes_));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      return OnControlColour(PointerFrom<HDC>(wParam), PointerFrom<HWND>(lParam));
    case WM_COMMAND:
      return OnCommandMessage(wParam, lParam) ? TRUE : FALSE;
    case WM_NOTIFY:
      return OnNotify(*PointerFrom<const NMHDR*>(lParam)) ? TRUE : FALSE;
    case WM_TIMER: {
      const auto id = static_cast<unsigned>(wParam);
      if (TimerRunning(id)) Dispatch([id](Dialog& d) { d.OnTimer(id); });
      return TRUE;
    }
    case WM_SIZE:
      if (layout_) layout_->Apply(LOWORD(lParam), HIWORD(lParam));
      return FALSE;
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
      return frame_.OnMessage(hwnd_, message, wParam, lParam) ? TRUE : FALSE;
    case WM_GETMINMAXINFO:
      if (layout_) layout_->LimitTracking(*PointerFrom<MINMAXINFO*>(lParam));
      return FALSE;
    case WM_CLOSE:
      // The close box is the Cancel command; the dialog decides whether it ends.
      Command(IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = PointerFrom<DialogWindow*>(lParam);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    SetPropW(hwnd, kWindowProperty, self);
    return TRUE;  // the focus goes to the first control that takes it
  }
  auto* self = PointerFrom<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    RemovePropW(hwnd, kWindowProperty);
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    return FALSE;
  }
  const INT_PTR handled = self->OnMessage(message, wParam, lParam);
  // A colour answer is a brush; everything else answers through DWLP_MSGRESULT.
  return handled;
}

LRESULT CALLBACK DialogWindow::ListBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR subclassId, DWORD_PTR refData) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &DialogWindow::ListBoxProc, subclassId);
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  if (message != WM_LBUTTONDOWN && message != WM_LBUTTONDBLCLK && message != WM_LBUTTONUP) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  // A click is one pick when the button goes up on a line, also on the line already selected
  // (the list box's own notices of a click come in varying numbers and are passed over); a
  // key that moves the selection is a pick through LBN_SELCHANGE.
  auto* self = PointerFrom<DialogWindow*>(refData);
  self->listMouse_ = true;
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  self->listMouse_ = false;
  if (message != WM_LBUTTONUP) return result;
  const auto line = SendMessageW(hwnd, LB_GETCURSEL, 0, 0);
  const auto hit = static_cast<DWORD>(SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, lParam));
  if (line >= 0 && HIWORD(hit) == 0 && LOWORD(hit) == line) {
    if (const Control* c = self->FindByHandle(hwnd)) {
      self->ListPick(c->tmpl->id, static_cast<int>(line));
    }
  }
  return result;
}

}  // namespace kt::ui::win32
