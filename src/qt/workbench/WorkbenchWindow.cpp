// The workbench window: owns the traffic log, the recorder and the fan-out of decoded blocks.
#include "qt/workbench/WorkbenchWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "qt/workbench/RecordingTab.h"
#include "qt/workbench/TrafficTab.h"
#include "qt/workbench/TrendTab.h"
#include "qt/workbench/WindowPlacement.h"
#include "qt/workbench/WiringTab.h"
#include "ui/CMonitorDlg.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

constexpr int kWidthPx = 760;
constexpr int kHeightPx = 520;

// What the window system adds around `w`'s client area; zero before it was first shown.
QMargins FrameOf(const QWidget& w) {
  const QRect frame = w.frameGeometry();
  const QRect client = w.geometry();
  return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
          frame.bottom() - client.bottom()};
}

QSize Grown(const QSize& size, const QMargins& m) {
  return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

}  // namespace

WorkbenchWindow::WorkbenchWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      tabs_(new QTabWidget(this)),
      traffic_(new TrafficTab(log_)),
      recording_(new RecordingTab(recorder_)) {
  setObjectName(QStringLiteral("workbench"));
  setWindowTitle(QString::fromUtf8(workbench::kWorkbenchTitle));
  tabs_->setObjectName(QStringLiteral("workbenchTabs"));
  tabs_->addTab(traffic_, QString::fromUtf8(workbench::kWorkbenchTabTitles[0]));
  tabs_->addTab(recording_, QString::fromUtf8(workbench::kWorkbenchTabTitles[1]));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(tabs_);
  resize(kWidthPx, kHeightPx);

  SubscribeBlocks([this](const values::MeasuredBlock& block) {
    if (!recorder_.Recording()) return;
    recorder_.Write(block);
    recording_->Refresh();
  });

  auto* trends = new TrendTab;
  trends->setObjectName(QStringLiteral("trendTab"));
  AddTab(trends, QString::fromUtf8(workbench::kWorkbenchTabTitles[2]));
  SubscribeBlocks([trends](const values::MeasuredBlock& block) { trends->AddBlock(block); });
  auto* wiring = new WiringTab;
  wiring->setObjectName(QStringLiteral("wiringTab"));
  AddTab(wiring, QString::fromUtf8(workbench::kWorkbenchTabTitles[3]));
  SubscribeBlocks([wiring](const values::MeasuredBlock& block) { wiring->AddBlock(block); });
}

void WorkbenchWindow::Attach(CMonitorDlg& dialog) {
  dialog.AddListener(log_);
  dialog.AddListener(blocks_);
  dialog.SetOpenWorkbench([this] { ShowBeside(); });
}

void WorkbenchWindow::ShowBeside() {
  // The main dialog runs modally; a window it is the transient parent of still takes input.
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
    winId();
    modal->winId();
    windowHandle()->setTransientParent(modal->windowHandle());
  }
  if (!isVisible()) {
    QWidget* main = QApplication::activeModalWidget();
    if (main == nullptr) main = QApplication::activeWindow();
    PlaceNextTo(main != this ? main : nullptr);
    show();
    shown_ = true;
  }
  raise();
  activateWindow();
}

void WorkbenchWindow::PlaceNextTo(QWidget* mainDialog) {
  const QScreen* screen = mainDialog != nullptr ? mainDialog->screen() : this->screen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  // Before its first showing the window has no frame yet: the main dialog's stands in for it.
  QMargins frame = FrameOf(*this);
  if (frame.isNull() && mainDialog != nullptr) frame = FrameOf(*mainDialog);
  const QSize minimum = Grown(minimumSizeHint().expandedTo(minimumSize()), frame);
  const QRect mainFrame = mainDialog != nullptr ? mainDialog->frameGeometry() : QRect();

  const QVariant remembered = QSettings().value(QString::fromLatin1(kGeometryKey));
  const WindowPlacement placed =
      remembered.canConvert<QRect>() && remembered.toRect().isValid()
          ? PlaceRemembered(available, mainFrame, remembered.toRect(), minimum)
          : PlaceBesideMain(available, mainFrame, Grown(size(), frame), minimum);
  if (mainDialog != nullptr && placed.mainDialog != mainFrame) {
    mainDialog->move(placed.mainDialog.topLeft());
  }
  resize(placed.window.size().shrunkBy(frame));
  move(placed.window.topLeft());
}

void WorkbenchWindow::RememberGeometry() const {
  if (shown_) QSettings().setValue(QString::fromLatin1(kGeometryKey), frameGeometry());
}

void WorkbenchWindow::AddTab(QWidget* tab, const QString& title) {
  tabs_->addTab(tab, title);
}

void WorkbenchWindow::SubscribeBlocks(workbench::BlockFanOut::Consumer consumer) {
  blocks_.Subscribe(std::move(consumer));
}

void WorkbenchWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
}

void WorkbenchWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) RememberGeometry();
}

WorkbenchWindow::~WorkbenchWindow() {
  // The program ends with the window still open: its last frame is kept for the next start.
  if (isVisible()) RememberGeometry();
}

}  // namespace kt::ui::qt
