// The Qt window host: modal loops, control access by identifier, timers and message boxes.
#include "qt/QtWindowHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QTableWidget>
#include <algorithm>
#include <exception>

#include "qt/ControlFactory.h"
#include "qt/DisplayText.h"
#include "qt/HostedWindow.h"
#include "qt/MonitorIcon.h"
#include "ui/dialog/BoxPlacement.h"

namespace kt::ui::qt {
namespace {

// The system's dialog face colour until SetDialogBkColor is called.
constexpr uint32_t kSystemFace = 0x00F0F0F0;
// The identifiers of a question box's buttons, as the system numbers them (IDOK is 1).
constexpr int kYesButton = 6;
constexpr int kNoButton = 7;
// Pixels a message box needs beyond its title (icon and frame buttons) and its text (margins).
constexpr int kTitleFrameRoom = 160;
constexpr int kTextFrameRoom = 80;

void CentreOnScreen(QWidget& w) {
  if (w.parentWidget() != nullptr) return;  // Qt centres a dialog over its parent itself
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
  }
}

PixelRect PixelsOf(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

// A message box where the Windows program puts it: centred on its owner's frame, inside the work
// area of the owner's screen (rather than where the window manager would put it).
void CentreOnOwner(QWidget& box, const QWidget& owner) {
  const QScreen* screen = owner.screen();
  if (screen == nullptr) return;
  const PixelRect at = CentredOnOwner(PixelsOf(owner.frameGeometry()), box.width(), box.height(),
                                      PixelsOf(screen->availableGeometry()));
  box.move(at.left, at.top);
}

// Keeps a message box centred on its owner: the box takes its final size only as it is shown.
class CentredOnOwnerFilter : public QObject {
 public:
  CentredOnOwnerFilter(QWidget& box, const QWidget& owner) : QObject(&box), owner_(owner) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) CentreOnOwner(*static_cast<QWidget*>(watched), owner_);
    return QObject::eventFilter(watched, event);
  }

 private:
  const QWidget& owner_;
};

}  // namespace

QtWindowHost::QtWindowHost() : colors_{kSystemFace, kBlack}, icon_(MonitorIcon()) {}

QtWindowHost::~QtWindowHost() {
  for (auto& [dialog, window] : windows_) window->Detach();
}

HostedWindow* QtWindowHost::Find(const Dialog& dialog) const {
  auto it = windows_.find(&dialog);
  return it == windows_.end() ? nullptr : it->second.get();
}

QWidget* QtWindowHost::TopWindow() const {
  return modalStack_.empty() ? nullptr : modalStack_.back();
}

QWidget* QtWindowHost::WindowOf(const Dialog& dialog) const {
  return Find(dialog);
}

int QtWindowHost::RunModal(Dialog& dialog) {
  if (Find(dialog) != nullptr) DestroyWindow(dialog);
  auto owned = std::make_unique<HostedWindow>(
      dialog, TopWindow(), colors_,
      [this](Dialog& d, const std::string& what) { MessageBox(&d, FailedActionText(what)); });
  HostedWindow* window = owned.get();
  window->setWindowIcon(icon_);
  windows_[&dialog] = std::move(owned);
  modalStack_.push_back(window);
  QPointer<HostedWindow> alive(window);

  try {
    dialog.InitDialog();
  } catch (const std::exception& e) {
    // Initialisation stops at the failed step; the dialog stays open, as with a refused port.
    if (alive) MessageBox(&dialog, FailedActionText(e.what()));
  }
  if (alive && !window->ModalEnded()) {
    CentreOnScreen(*window);
    window->RunModalLoop();
  }
  modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), window), modalStack_.end());
  return alive ? window->ModalResult() : IDCANCEL;
}

void QtWindowHost::EndModal(Dialog& dialog, int result) {
  HostedWindow* w = Find(dialog);
  if (w == nullptr) return;
  w->EndModal(result);
}

void QtWindowHost::DestroyWindow(Dialog& dialog) {
  auto it = windows_.find(&dialog);
  if (it == windows_.end()) return;
  std::unique_ptr<HostedWindow> w = std::move(it->second);
  windows_.erase(it);
  w->Detach();
  w->LeaveLoop();
  w->hide();
  // A handler of the window itself may still be on the stack: Qt deletes it once that is done.
  if (w->Dispatching()) w.release()->deleteLater();
}

void QtWindowHost::SetText(Dialog& dialog, int controlId, const std::string& utf8) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) w->SetControlText(*c, utf8);
  }
}

std::string QtWindowHost::GetText(Dialog& dialog, int controlId) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) return w->ControlText(*c);
  }
  return {};
}

void QtWindowHost::SetListLines(Dialog& dialog, int controlId,
                                const std::vector<std::string>& utf8Lines) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) {
      if (auto* list = qobject_cast<QListWidget*>(c->widget)) {
        list->clear();
        for (const std::string& line : utf8Lines) list->addItem(QString::fromStdString(line));
      } else if (auto* table = qobject_cast<QTableWidget*>(c->widget)) {
        SetTableRows(*table, utf8Lines);
      }
    }
  }
}

void QtWindowHost::SetCheck(Dialog& dialog, int controlId, bool checked) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) {
      if (auto* b = qobject_cast<QAbstractButton*>(c->widget); b != nullptr && b->isCheckable()) {
        b->setChecked(checked);
      }
    }
  }
}

bool QtWindowHost::GetCheck(Dialog& dialog, int controlId) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) {
      if (auto* b = qobject_cast<QAbstractButton*>(c->widget)) return b->isChecked();
    }
  }
  return false;
}

void QtWindowHost::ShowControl(Dialog& dialog, int controlId, bool visible) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) c->widget->setVisible(visible);
  }
}

void QtWindowHost::EnableControl(Dialog& dialog, int controlId, bool enabled) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) c->widget->setEnabled(enabled);
  }
}

void QtWindowHost::Repaint(Dialog& dialog, int controlId) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) {
      w->Recolor(*c);
      c->widget->update();
    }
  }
}

void QtWindowHost::FocusAndSelect(Dialog& dialog, int controlId) {
  if (HostedWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) w->FocusAndSelect(*c);
  }
}

void QtWindowHost::SetTimer(Dialog& dialog, unsigned timerId, unsigned periodMs) {
  if (HostedWindow* w = Find(dialog)) w->StartTimer(timerId, periodMs);
}

void QtWindowHost::KillTimer(Dialog& dialog, unsigned timerId) {
  if (HostedWindow* w = Find(dialog)) w->StopTimer(timerId);
}

bool QtWindowHost::TimerRunning(const Dialog& dialog, unsigned timerId) const {
  HostedWindow* w = Find(dialog);
  return w != nullptr && w->TimerRunning(timerId);
}

void QtWindowHost::MessageBox(Dialog* owner, const std::string& utf8) {
  RunBox(owner, utf8, false);
}

bool QtWindowHost::AskYesNo(Dialog* owner, const std::string& utf8) {
  return RunBox(owner, utf8, true) == kYesButton;
}

int QtWindowHost::RunBox(Dialog* owner, const std::string& utf8, bool yesNo) {
  QWidget* parent = owner != nullptr ? Find(*owner) : nullptr;
  if (parent == nullptr) parent = TopWindow();
  QMessageBox box(parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setWindowTitle(QStringLiteral("KT7340"));
  box.setWindowIcon(icon_);
  box.setTextFormat(Qt::PlainText);
  box.setText(DisplayText(utf8));
  QPushButton* safe = nullptr;  // the default, and what Escape chooses
  if (yesNo) {
    box.setIcon(QMessageBox::Question);
    box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole)
        ->setObjectName(QString::number(kYesButton));
    safe = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    safe->setObjectName(QString::number(kNoButton));
  } else {
    safe = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    safe->setObjectName(QString::number(IDOK));
  }
  box.setDefaultButton(safe);
  box.setEscapeButton(safe);
  ApplyWindowColors(box, colors_);
  // A message box sizes itself to a narrow default: reserve room for the whole title (with the
  // frame's buttons) and the longest line, within the screen.
  const QFontMetrics metrics(box.font());
  int wanted = metrics.horizontalAdvance(box.windowTitle()) + kTitleFrameRoom;
  for (const QString& line : box.text().split(QLatin1Char('\n'))) {
    wanted = std::max(wanted, metrics.horizontalAdvance(line) + kTextFrameRoom);
  }
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    wanted = std::min(wanted, screen->availableGeometry().width() * 9 / 10);
  }
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  if (parent != nullptr) {
    box.installEventFilter(new CentredOnOwnerFilter(box, *parent->window()));
    box.adjustSize();
    CentreOnOwner(box, *parent->window());
  }
  box.exec();
  const QAbstractButton* chosen = box.clickedButton();
  return chosen != nullptr ? chosen->objectName().toInt() : safe->objectName().toInt();
}

void QtWindowHost::SetDialogBkColor(uint32_t background, uint32_t text) {
  colors_ = DialogColors{background, text};
}

}  // namespace kt::ui::qt
