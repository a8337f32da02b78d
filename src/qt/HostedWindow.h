// The window of one dialog: its widgets by control identifier, its timers, and the keyboard and
// close-box commands.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "qt/ControlColors.h"
#include "qt/DialogFont.h"
#include "ui/dialog/Dialog.h"

namespace kt::ui::qt {

class ScrolledPage;

class HostedWindow : public QDialog {
 public:
  struct Control {
    const ControlTemplate* tmpl;
    QWidget* widget;
    std::string text;  // the control's text as the dialog logic set it
  };

  // Shows a message for a handler that failed with an exception (none should escape into Qt).
  using FailureReport = std::function<void(Dialog&, const std::string&)>;

  HostedWindow(Dialog& dialog, QWidget* parent, const DialogColors& colors,
               FailureReport reportFailure);

  // Null once the window has been destroyed for its dialog: late events then do nothing.
  Dialog* Owner() const { return dialog_; }
  void Detach();

  Control* Find(int controlId);
  const DialogUnits& Units() const { return units_; }

  // Sets the control's text and asks its colours again; it is redrawn when either changed.
  void SetControlText(Control& c, const std::string& utf8);
  std::string ControlText(const Control& c) const;
  // Asks the dialog for the control's colours and applies them (a change redraws it).
  void Recolor(Control& c);

  // The focus to the control (the window's focus widget until it is shown), its text selected.
  void FocusAndSelect(Control& c);

  void StartTimer(unsigned timerId, unsigned periodMs);
  void StopTimer(unsigned timerId);
  void StopAllTimers();
  bool TimerRunning(unsigned timerId) const;

  // Ends the modal state with `result`, also before the loop has started (it then never runs).
  void EndModal(int result);
  // Leaves a running modal loop with IDCANCEL (the window is going away).
  void LeaveLoop();
  // Runs the modal loop unless the modal state has already ended. The window may be deleted
  // while the loop runs; the caller checks that it still exists before asking for the result.
  void RunModalLoop();
  bool ModalEnded() const { return ended_; }
  int ModalResult() const { return result_; }

  // True while a call into the dialog logic from one of this window's events is running.
  bool Dispatching() const { return dispatchDepth_ > 0; }

  // Sends a command to the dialog (button click, Enter, Escape, close box).
  void Command(int commandId);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A resizable dialog's controls follow its edges as their styles say.
  void resizeEvent(QResizeEvent* event) override;
  // A fixed dialog is fitted to its screen as it is shown, moved to another screen, and once the
  // window manager has given it its frame.
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void reject() override;

 private:
  void Realise();
  // A fixed dialog whose frame does not fit `workArea` (screen pixels) is cut to it and scrolls;
  // one that fits there is shown whole. FitOnScreen does it for the work area of its screen.
  void FitOnScreen();
  void FitInto(const QRect& workArea);
  int EnterCommand() const;
  // Runs a call into the dialog logic, turning an escaping exception into a message.
  void Dispatch(const std::function<void(Dialog&)>& call);

  Dialog* dialog_;
  DialogColors colors_;
  FailureReport reportFailure_;
  DialogUnits units_;
  struct Placed {
    const ControlTemplate* tmpl;
    QWidget* widget;
    QRect atTemplateSize;
  };
  std::vector<Placed> placed_;  // every control's widget, where it is at the template's size
  QSize templateSize_;
  bool fixedSize_ = true;             // not resizable: fitted to its screen
  ScrolledPage* scrolled_ = nullptr;  // holds the controls once the dialog has had to scroll
  QSize fittedFrameMargins_{-1, -1};  // what the frame added when last fitted
  std::map<int, Control> controls_;
  std::map<unsigned, QTimer*> timers_;
  int dispatchDepth_ = 0;
  bool ended_ = false;
  bool inLoop_ = false;
  int result_ = IDCANCEL;
};

}  // namespace kt::ui::qt
