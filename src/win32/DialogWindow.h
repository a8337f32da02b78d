// The window of one dialog: its controls by identifier, its timers, its colours, and the
// commands of buttons, keys and the close box.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ui/dialog/Dialog.h"
#include "win32/BrushCache.h"
#include "win32/ControlColouring.h"
#include "win32/EdgeLayout.h"
#include "win32/ScrolledFrame.h"
#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

class DialogWindow {
 public:
  struct Control {
    const ControlTemplate* tmpl;
    HWND hwnd;
    std::string text;                // the control's text as the dialog logic set it
    std::optional<CtlColor> colour;  // the latest decision of the colour handler
  };

  // Shows a message for a handler that failed with an exception (none may cross a window
  // procedure).
  using FailureReport = std::function<void(Dialog&, const std::string&)>;

  DialogWindow(Dialog& dialog, HWND owner, const DialogColors& colors, HICON icon,
               FailureReport reportFailure);
  ~DialogWindow();
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  DialogWindow(DialogWindow&&) = delete;
  DialogWindow& operator=(DialogWindow&&) = delete;

  // Makes the (hidden) window from the in-memory template; false when Windows refused it.
  bool Create();
  HWND Handle() const { return hwnd_; }
  HWND OwnerWindow() const { return owner_; }

  // Null once the window has been destroyed for its dialog: late messages then do nothing.
  Dialog* Owner() const { return dialog_; }
  // Stops the timers and forgets the dialog; the window is destroyed.
  void Detach();

  Control* Find(int controlId);

  // Sets the control's text (nothing is redrawn when it is the same) and asks its colours again
  // (it is redrawn when they changed).
  void SetControlText(Control& c, const std::string& utf8);
  std::string ControlText(const Control& c) const;
  void SetListLines(Control& c, const std::vector<std::string>& utf8Lines);
  // Asks the dialog for the control's colours; redraws it when they changed or when `always`.
  void Recolor(Control& c, bool always);

  // The focus to the control through the dialog manager, an edit's text selected; before the
  // window is shown, once it is.
  void FocusAndSelect(const Control& c);

  void StartTimer(unsigned timerId, unsigned periodMs);
  void StopTimer(unsigned timerId);
  bool TimerRunning(unsigned timerId) const { return timers_.count(timerId) != 0; }

  // Ends the modal state with `result`, also before the loop has started (it then never runs).
  void EndModal(int result);
  bool ModalEnded() const { return ended_; }
  int ModalResult() const { return result_; }
  // Runs the modal loop (the owner disabled) until the modal state ends or the window goes.
  void RunModalLoop();

  bool Dispatching() const { return dispatchDepth_ > 0; }
  const DialogColors& Colors() const { return colors_; }
  BrushCache& Brushes() { return brushes_; }

  // Sends a command to the dialog (button click, Enter, Escape, close box).
  void Command(int commandId);
  void ListPick(int controlId, int line);

  // The dialog window of `hwnd` when it is one of this host's, else nullptr.
  static DialogWindow* Of(HWND hwnd);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclassId, DWORD_PTR refData);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void TakeControls();
  Control* FindByHandle(HWND hwnd);
  const ControlTemplate* TemplateOf(HWND hwnd) const;
  INT_PTR OnControlColour(HDC dc, HWND control);
  bool OnCommandMessage(WPARAM wParam, LPARAM lParam);
  bool OnNotify(const NMHDR& header);
  // Enter pressed on this dialog or one of its controls: the command the template gives for the
  // control, whatever the system's control would do with the key. False for any other message.
  bool TakeEnter(const MSG& msg);
  void Dispatch(const std::function<void(Dialog&)>& call);

  Dialog* dialog_;
  HWND owner_;
  HWND hwnd_ = nullptr;
  DialogColors colors_;
  HICON icon_;
  FailureReport reportFailure_;
  BrushCache brushes_;
  std::vector<Control> controls_;     // every control with a window, in template order
  std::optional<EdgeLayout> layout_;  // a resizable dialog's
  ScrolledFrame frame_;               // scrolls a fixed dialog taller than its screen
  HWND revealedFocus_ = nullptr;      // the focus the frame last scrolled into view
  bool fillingTable_ = false;  // a table's rows are being replaced: its selection is the host's
  std::set<unsigned> timers_;
  int dispatchDepth_ = 0;
  bool listMouse_ = false;       // a list box handles a mouse button
  HWND pendingFocus_ = nullptr;  // takes the focus when the window is shown
  bool ended_ = false;
  int result_ = IDCANCEL;
};

}  // namespace kt::ui::win32
