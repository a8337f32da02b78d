// The workbench window: the model's tabs in a tab widget, placed where the model says.
#include "qt/workbench/WorkbenchWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "bus/BusTabModel.h"
#include "qt/workbench/BusTab.h"
#include "qt/workbench/RecordingTab.h"
#include "qt/workbench/TrafficTab.h"
#include "qt/workbench/TrendTab.h"
#include "qt/workbench/WiringTab.h"
#include "ui/CMonitorDlg.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

using workbench::WorkbenchTab;

// What the window system adds around `w`'s client area; zero before it was first shown.
workbench::FrameMargins FrameOf(const QWidget& w) {
  const QRect frame = w.frameGeometry();
  const QRect client = w.geometry();
  return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
          frame.bottom() - client.bottom()};
}

bool IsNull(const workbench::FrameMargins& m) {
  return m.left == 0 && m.top == 0 && m.right == 0 && m.bottom == 0;
}

workbench::ScreenRect Plain(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

QRect FromPlain(const workbench::ScreenRect& r) {
  return {r.x, r.y, r.width, r.height};
}

QString Title(const workbench::WorkbenchModel& model, WorkbenchTab tab) {
  return QString::fromStdString(model.TabTitles()[static_cast<std::size_t>(tab)]);
}

}  // namespace

WorkbenchWindow::WorkbenchWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(settings_, workbench::SystemRecordFiles()),
      tabs_(new QTabWidget(this)),
      traffic_(new TrafficTab(model_.Log())),
      recording_(new RecordingTab(model_.Recording())),
      trend_(new TrendTab(model_.Trend(), settings_)),
      wiring_(new WiringTab(model_.Wiring())) {
  setObjectName(QStringLiteral("workbench"));
  setWindowTitle(QString::fromUtf8(workbench::kWorkbenchTitle));
  tabs_->setObjectName(QStringLiteral("workbenchTabs"));
  trend_->setObjectName(QStringLiteral("trendTab"));
  wiring_->setObjectName(QStringLiteral("wiringTab"));
  tabs_->addTab(traffic_, Title(model_, WorkbenchTab::Traffic));
  tabs_->addTab(recording_, Title(model_, WorkbenchTab::Recording));
  tabs_->addTab(trend_, Title(model_, WorkbenchTab::Trend));
  tabs_->addTab(wiring_, Title(model_, WorkbenchTab::Wiring));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(tabs_);
  resize(workbench::kWorkbenchClientSize.width, workbench::kWorkbenchClientSize.height);

  // The model's tabs took the block first; each draws what it now holds.
  SubscribeBlocks([this](const values::MeasuredBlock&) {
    if (model_.Recording().TookLastBlock()) recording_->Refresh();
    trend_->BlockAdded();
    wiring_->BlockAdded();
  });
}

void WorkbenchWindow::Attach(CMonitorDlg& dialog) {
  model_.AttachTo(dialog, [this] { ShowBeside(); });
  reports_.Attach(dialog);
  wiring_->SetMakeReport([this] { reports_.Make(); });
  if (bus_) bus_->AttachTo(dialog);
}

void WorkbenchWindow::AddBusTab(bus::LineScheduler& line, modbus::Clock& clock) {
  bus_ = std::make_unique<bus::BusTabModel>(line, clock, settings_);
  bus_->UseWiringChoices(model_.Wiring());
  busTab_ = new BusTab(*bus_);
  busTab_->SetMakeReport([this] { bus_->MakeReport(model_, reports_.front); });
  AddTab(busTab_, QString::fromUtf8(bus::kBusTabTitle));
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
  }
  raise();
  activateWindow();
}

void WorkbenchWindow::PlaceNextTo(QWidget* mainDialog) {
  const QScreen* screen = mainDialog != nullptr ? mainDialog->screen() : this->screen();
  if (screen == nullptr) return;
  // Before its first showing the window has no frame yet: the main dialog's stands in for it.
  workbench::FrameMargins frame = FrameOf(*this);
  if (IsNull(frame) && mainDialog != nullptr) frame = FrameOf(*mainDialog);
  const QSize least = minimumSizeHint().expandedTo(minimumSize());
  std::optional<workbench::ScreenRect> mainFrame;
  if (mainDialog != nullptr) mainFrame = Plain(mainDialog->frameGeometry());
  const workbench::WindowPlacement placed = model_.Frame().Place(
      Plain(screen->availableGeometry()), mainFrame, frame, {least.width(), least.height()});
  if (mainFrame && !(placed.mainDialog == *mainFrame)) {
    mainDialog->move(placed.mainDialog.x, placed.mainDialog.y);
  }
  // The client area inside the frame: a window not yet shown has no frame to move by. The frame
  // is remembered as placed: the window system may not report its decoration yet.
  setGeometry(FromPlain(frame.ClientOf(placed.window)));
  model_.Frame().Shown(placed.window);
}

void WorkbenchWindow::RememberFrame() {
  model_.Frame().Shown(Plain(frameGeometry()));
  model_.Frame().Remember();
}

void WorkbenchWindow::AddTab(QWidget* tab, const QString& title) {
  model_.AddTab(title.toStdString());
  tabs_->addTab(tab, title);
}

void WorkbenchWindow::SubscribeBlocks(workbench::BlockFanOut::Consumer consumer) {
  model_.SubscribeBlocks(std::move(consumer));
}

void WorkbenchWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
}

void WorkbenchWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) RememberFrame();
}

WorkbenchWindow::~WorkbenchWindow() {
  // The program ends with the window still open: its last frame is kept for the next start.
  if (isVisible()) RememberFrame();
  // The bus tab draws its model until it goes: it goes first.
  delete busTab_;
}

}  // namespace kt::ui::qt
