// The workbench window: owns the traffic log, the recorder and the fan-out of decoded blocks.
#include "ui/qt/workbench/WorkbenchWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "ui/CMonitorDlg.h"
#include "ui/qt/workbench/RecordingTab.h"
#include "ui/qt/workbench/TrafficTab.h"
#include "ui/qt/workbench/TrendTab.h"
#include "ui/qt/workbench/WiringTab.h"

namespace kt::ui::qt {
namespace {

constexpr int kWidthPx = 760;
constexpr int kHeightPx = 520;
constexpr int kGapPx = 8;

}  // namespace

WorkbenchWindow::WorkbenchWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      tabs_(new QTabWidget(this)),
      traffic_(new TrafficTab(log_)),
      recording_(new RecordingTab(recorder_)) {
  setObjectName(QStringLiteral("workbench"));
  setWindowTitle(QStringLiteral("诊断与记录"));
  tabs_->setObjectName(QStringLiteral("workbenchTabs"));
  tabs_->addTab(traffic_, QStringLiteral("报文"));
  tabs_->addTab(recording_, QStringLiteral("记录"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(tabs_);
  resize(kWidthPx, kHeightPx);

  SubscribeBlocks([this](const measure::MeasuredBlock& block) {
    if (!recorder_.Recording()) return;
    recorder_.Write(block);
    recording_->Refresh();
  });

  auto* trends = new TrendTab;
  trends->setObjectName(QStringLiteral("trendTab"));
  AddTab(trends, QStringLiteral("趋势"));
  SubscribeBlocks([trends](const measure::MeasuredBlock& block) { trends->AddBlock(block); });
  auto* wiring = new WiringTab;
  wiring->setObjectName(QStringLiteral("wiringTab"));
  AddTab(wiring, QStringLiteral("接线检查"));
  SubscribeBlocks([wiring](const measure::MeasuredBlock& block) { wiring->AddBlock(block); });
}

void WorkbenchWindow::Attach(CMonitorDlg& dialog) {
  dialog.AddListener(log_);
  dialog.AddListener(blocks_);
  dialog.m_onOpenWorkbench = [this] { ShowBeside(); };
}

void WorkbenchWindow::ShowBeside() {
  // The main dialog runs modally; a window it is the transient parent of still takes input.
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
    winId();
    modal->winId();
    windowHandle()->setTransientParent(modal->windowHandle());
  }
  if (!isVisible()) {
    const QWidget* main = QApplication::activeModalWidget();
    if (main == nullptr) main = QApplication::activeWindow();
    if (main != nullptr && main != this) {
      QPoint at = main->frameGeometry().topRight() + QPoint(kGapPx, 0);
      if (const QScreen* screen = main->screen(); screen != nullptr) {
        const QRect free = screen->availableGeometry();
        at.setX(std::min(at.x(), free.right() - width()));
      }
      move(at);
    }
    show();
  }
  raise();
  activateWindow();
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

}  // namespace kt::ui::qt
