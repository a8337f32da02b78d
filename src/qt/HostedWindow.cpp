// A dialog's window: realises the template, dispatches commands, keys, timers and colours.
#include "qt/HostedWindow.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <exception>

#include "qt/ControlFactory.h"
#include "qt/DisplayText.h"
#include "qt/MultiLineEdit.h"
#include "qt/ScrolledPage.h"
#include "ui/dialog/FrameFit.h"

namespace kt::ui::qt {
namespace {

Qt::WindowFlags FlagsOf(const DialogTemplate& t) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
  if (t.Has(kCaption)) flags |= Qt::WindowTitleHint;
  if (t.Has(kSysMenu)) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (t.Has(kMinimizeBox)) flags |= Qt::WindowMinimizeButtonHint;
  if (t.Has(kMaximizeBox)) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

}  // namespace

HostedWindow::HostedWindow(Dialog& dialog, QWidget* parent, const DialogColors& colors,
                           FailureReport reportFailure)
    : QDialog(parent, FlagsOf(dialog.Template())),
      dialog_(&dialog),
      colors_(colors),
      reportFailure_(std::move(reportFailure)),
      units_{} {
  const DialogTemplate& t = dialog.Template();
  setObjectName(QStringLiteral("dialog%1").arg(t.id));
  setWindowTitle(QString::fromUtf8(t.caption != nullptr ? t.caption : ""));
  setFont(DialogFont(t.fontName, t.fontPointSize));
  units_ = DialogUnits::Of(font());
  templateSize_ = QSize(units_.X(t.widthDu), units_.Y(t.heightDu));
  fixedSize_ = !t.Has(kResizable);
  if (!fixedSize_) {
    setMinimumSize(templateSize_);
    resize(templateSize_);
  } else {
    setFixedSize(templateSize_);
  }
  setSizeGripEnabled(t.Has(kResizable));
  ApplyWindowColors(*this, colors_);
  Realise();
}

void HostedWindow::Realise() {
  const auto onClick = [this](int id) { Command(id); };
  const auto onListClick = [this](int id, int line) {
    Dispatch([id, line](Dialog& d) { d.OnListClick(id, line); });
  };
  std::vector<QWidget*> frames;
  for (const ControlTemplate& c : dialog_->Template().controls) {
    QWidget* w = CreateControl(c, units_, *this, onClick, onListClick);
    if (w == nullptr) continue;
    placed_.push_back({&c, w, w->geometry()});
    if (c.kind == ControlKind::GroupBox) frames.push_back(w);
    if (c.id == IDC_STATIC) {
      // Controls without identifier are drawn once with the colours asked for them now.
      ApplyControlColors(*w, ColorTypeOf(c), dialog_->OnCtlColor(IDC_STATIC, ColorTypeOf(c)),
                         colors_);
      continue;
    }
    auto [it, inserted] = controls_.emplace(c.id, Control{&c, w, c.text != nullptr ? c.text : ""});
    if (inserted) Recolor(it->second);
  }
  // Group boxes lie under the controls they frame, whatever their place in the template.
  for (QWidget* f : frames) f->lower();
}

void HostedWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (scrolled_ != nullptr) {
    scrolled_->resize(size());
    return;
  }
  const int dx = width() - templateSize_.width();
  const int dy = height() - templateSize_.height();
  for (const Placed& p : placed_) {
    const QRect& g = p.atTemplateSize;
    const DuRect r = Grown(p.tmpl->style, {g.x(), g.y(), g.width(), g.height()}, dx, dy);
    p.widget->setGeometry(r.x, r.y, r.width, r.height);
  }
}

void HostedWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!fixedSize_) return;
  if (QWindow* w = windowHandle(); w != nullptr && fittedFrameMargins_ == QSize(-1, -1)) {
    // After the move that changed the screen is done with the window's geometry.
    QObject::connect(w, &QWindow::screenChanged, this, &HostedWindow::FitOnScreen,
                     Qt::QueuedConnection);
  }
  FitOnScreen();
}

void HostedWindow::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  if (fixedSize_ && isVisible() && frameGeometry().size() - size() != fittedFrameMargins_) {
    FitOnScreen();
  }
}

void HostedWindow::FitOnScreen() {
  if (const QScreen* s = screen(); s != nullptr) FitInto(s->availableGeometry());
}

void HostedWindow::FitInto(const QRect& workArea) {
  if (!fixedSize_) return;
  const QRect frame = frameGeometry();
  const QSize margins = frame.size() - size();
  fittedFrameMargins_ = margins;
  const QSize whole = templateSize_ + margins;
  const FittedFrame fitted =
      FitFrame({frame.x(), frame.y(), whole.width(), whole.height()},
               {workArea.x(), workArea.y(), workArea.width(), workArea.height()},
               style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
  if (fitted.Scrolls() && scrolled_ == nullptr) scrolled_ = new ScrolledPage(*this, templateSize_);
  const QSize client = QSize(fitted.frame.width, fitted.frame.height) - margins;
  if (client != size()) setFixedSize(client);
  if (fitted.frame.left != frame.x() || fitted.frame.top != frame.y()) {
    move(fitted.frame.left, fitted.frame.top);
  }
}

void HostedWindow::Detach() {
  StopAllTimers();
  dialog_ = nullptr;
}

HostedWindow::Control* HostedWindow::Find(int controlId) {
  if (controlId == IDC_STATIC) return nullptr;
  auto it = controls_.find(controlId);
  return it == controls_.end() ? nullptr : &it->second;
}

void HostedWindow::SetControlText(Control& c, const std::string& utf8) {
  if (auto* line = qobject_cast<QLineEdit*>(c.widget)) {
    const QString shown = DisplayText(utf8);
    if (line->text() != shown) line->setText(shown);
  } else if (auto* multi = qobject_cast<QPlainTextEdit*>(c.widget)) {
    if (c.text != utf8 || multi->document()->isModified()) multi->setPlainText(DisplayText(utf8));
  } else if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
    button->setText(QString::fromStdString(utf8));
  } else if (auto* box = qobject_cast<QGroupBox*>(c.widget)) {
    box->setTitle(QString::fromStdString(utf8));
  } else if (auto* label = qobject_cast<QLabel*>(c.widget)) {
    label->setText(QString::fromStdString(utf8));
  } else if (auto* bar = qobject_cast<QProgressBar*>(c.widget)) {
    bar->setValue(ProgressValue(utf8));
  }
  c.text = utf8;
  Recolor(c);
}

std::string HostedWindow::ControlText(const Control& c) const {
  // What the user typed counts; a read-only box keeps the text as it was set, carriage
  // returns and all.
  if (auto* line = qobject_cast<QLineEdit*>(c.widget)) {
    return line->isReadOnly() ? c.text : line->text().toStdString();
  }
  if (auto* multi = qobject_cast<QPlainTextEdit*>(c.widget)) {
    return multi->isReadOnly() || !multi->document()->isModified()
               ? c.text
               : qt::ControlText(multi->toPlainText());
  }
  return c.text;
}

void HostedWindow::Recolor(Control& c) {
  if (dialog_ == nullptr) return;
  const CtlColorType type = ColorTypeOf(*c.tmpl);
  CtlColor decision;
  Dispatch([&](Dialog& d) { decision = d.OnCtlColor(c.tmpl->id, type); });
  // A new palette redraws the control; the same colours and text leave its pixels as they are.
  ApplyControlColors(*c.widget, type, decision, colors_);
}

void HostedWindow::FocusAndSelect(Control& c) {
  c.widget->setFocus(Qt::OtherFocusReason);
  if (auto* line = qobject_cast<QLineEdit*>(c.widget)) line->selectAll();
}

void HostedWindow::StartTimer(unsigned timerId, unsigned periodMs) {
  QTimer*& timer = timers_[timerId];
  if (timer == nullptr) {
    timer = new QTimer(this);
    // A coarse timer may fire up to 5 % early; the poll period must hold.
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, this,
                     [this, timerId] { Dispatch([timerId](Dialog& d) { d.OnTimer(timerId); }); });
  }
  // A window timer's shortest period is 10 ms; a zero period must not spin the loop.
  timer->start(static_cast<int>(std::max(10u, std::min(periodMs, 0x7FFFFFFFu))));
}

void HostedWindow::StopTimer(unsigned timerId) {
  auto it = timers_.find(timerId);
  if (it != timers_.end()) it->second->stop();
}

void HostedWindow::StopAllTimers() {
  for (auto& [id, timer] : timers_) timer->stop();
}

bool HostedWindow::TimerRunning(unsigned timerId) const {
  auto it = timers_.find(timerId);
  return it != timers_.end() && it->second->isActive();
}

void HostedWindow::Command(int commandId) {
  Dispatch([commandId](Dialog& d) { d.OnCommand(commandId); });
}

void HostedWindow::Dispatch(const std::function<void(Dialog&)>& call) {
  if (dialog_ == nullptr) return;
  QPointer<HostedWindow> alive(this);
  Dialog& d = *dialog_;
  ++dispatchDepth_;
  try {
    call(d);
  } catch (const std::exception& e) {
    if (alive && reportFailure_) reportFailure_(d, e.what());
  }
  if (alive) --dispatchDepth_;
}

int HostedWindow::EnterCommand() const {
  // The template decides; the host only tells which of its controls has the focus.
  int focusedId = IDC_STATIC;
  if (const QWidget* focus = focusWidget()) {
    for (const auto& [id, control] : controls_) {
      if (control.widget == focus || control.widget->isAncestorOf(focus)) focusedId = id;
    }
  }
  return dialog_ != nullptr ? dialog_->Template().EnterCommand(focusedId) : IDOK;
}

void HostedWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      Command(IDCANCEL);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Command(EnterCommand());
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void HostedWindow::closeEvent(QCloseEvent* event) {
  // The close box is the Cancel command; the dialog decides whether it ends.
  event->ignore();
  Command(IDCANCEL);
}

void HostedWindow::reject() {
  Command(IDCANCEL);
}

void HostedWindow::EndModal(int result) {
  ended_ = true;
  result_ = result;
  if (inLoop_) done(result);
}

void HostedWindow::LeaveLoop() {
  if (inLoop_) done(IDCANCEL);
}

void HostedWindow::RunModalLoop() {
  if (ended_) return;
  QPointer<HostedWindow> alive(this);
  inLoop_ = true;
  exec();
  if (alive) inLoop_ = false;
}

}  // namespace kt::ui::qt
