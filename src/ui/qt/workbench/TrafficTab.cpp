// The traffic log's widgets: lines are appended as they come, rebuilt only when the filter changes.
#include "ui/qt/workbench/TrafficTab.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/qt/workbench/TrafficView.h"

namespace kt::ui::qt {
namespace {

// New lines and the event count reach the screen at this pace rather than on every event: one
// repaint for several lines. Out of sight they wait until the tab is shown.
constexpr int kFlushMs = 2000;
constexpr auto kMostPending = static_cast<qsizetype>(workbench::TrafficLog::kCapacity);

}  // namespace

TrafficTab::TrafficTab(workbench::TrafficLog& log, QWidget* parent)
    : QWidget(parent),
      log_(log),
      view_(new TrafficView(workbench::TrafficLog::kCapacity, this)),
      pause_(new QPushButton(QStringLiteral("暂停"), this)),
      errorsOnly_(new QCheckBox(QStringLiteral("只显示错误"), this)),
      count_(new QLabel(this)),
      message_(new QLabel(this)) {
  view_->setObjectName(QStringLiteral("trafficView"));
  pause_->setObjectName(QStringLiteral("pauseButton"));
  pause_->setCheckable(true);
  errorsOnly_->setObjectName(QStringLiteral("errorsOnly"));
  message_->setStyleSheet(QStringLiteral("color: red"));
  auto* clear = new QPushButton(QStringLiteral("清除"), this);
  clear->setObjectName(QStringLiteral("clearButton"));
  auto* save = new QPushButton(QStringLiteral("保存…"), this);
  save->setObjectName(QStringLiteral("saveButton"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(pause_);
  buttons->addWidget(clear);
  buttons->addWidget(save);
  buttons->addWidget(errorsOnly_);
  buttons->addStretch();
  buttons->addWidget(count_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_);
  layout->addLayout(buttons);
  layout->addWidget(message_);

  connect(pause_, &QPushButton::toggled, this, [this](bool on) { log_.SetPaused(on); });
  connect(clear, &QPushButton::clicked, this, [this] {
    log_.Clear();
    pending_.clear();
    view_->Reset({});
  });
  connect(save, &QPushButton::clicked, this, [this] { AskAndSave(); });
  connect(errorsOnly_, &QCheckBox::toggled, this, [this] { Refill(); });
  log_.onLine = [this](const workbench::TrafficLine& line) { Append(line); };

  auto* counter = new QTimer(this);
  connect(counter, &QTimer::timeout, this, [this] { Flush(); });
  counter->start(kFlushMs);
  Refill();
}

TrafficTab::~TrafficTab() {
  log_.onLine = nullptr;
}

void TrafficTab::Append(const workbench::TrafficLine& line) {
  if (errorsOnly_->isChecked() && !line.isError) return;
  pending_ << QString::fromStdString(line.Text());
  // The view keeps no more lines than the log; older waiting ones would only be dropped there.
  if (pending_.size() > kMostPending) pending_.removeFirst();
}

void TrafficTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Flush();
}

void TrafficTab::Flush() {
  if (!isVisible()) return;
  if (!pending_.isEmpty()) {
    view_->Append(pending_);
    pending_.clear();
  }
  ShowCount();
}

void TrafficTab::Refill() {
  pending_.clear();
  QStringList lines;
  for (const workbench::TrafficLine* line : log_.Visible(errorsOnly_->isChecked())) {
    lines << QString::fromStdString(line->Text());
  }
  view_->Reset(lines);
  ShowCount();
}

void TrafficTab::ShowCount() {
  if (log_.EventCount() == shownCount_) return;
  shownCount_ = log_.EventCount();
  count_->setText(QStringLiteral("共 %1 条").arg(shownCount_));
}

QString TrafficTab::ShownText() const {
  return view_->Text();
}

QString TrafficTab::SaveTo(const QString& path) {
  QString failure =
      QString::fromStdString(log_.SaveTo(path.toStdString(), errorsOnly_->isChecked()));
  message_->setText(failure);
  return failure;
}

void TrafficTab::AskAndSave() {
  const QString suggested = QDir::home().filePath(
      QStringLiteral("kt7340-报文-%1.txt")
          .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存报文"), suggested,
                                                    QStringLiteral("文本文件 (*.txt)"));
  if (!path.isEmpty()) SaveTo(path);
}

}  // namespace kt::ui::qt
