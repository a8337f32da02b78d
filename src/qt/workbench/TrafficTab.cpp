// The traffic log's widgets: lines are appended as they come, rebuilt only when the filter changes.
#include "qt/workbench/TrafficTab.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

#include "qt/workbench/SaveDialog.h"
#include "qt/workbench/TrafficView.h"
#include "workbench/SaveQuestions.h"
#include "workbench/WorkbenchLook.h"
#include "workbench/WorkbenchModel.h"

namespace kt::ui::qt {
namespace {

// New lines and the event count reach the screen at this pace rather than on every event: one
// repaint for several lines. Out of sight they wait until the tab is shown.
constexpr int kFlushMs = static_cast<int>(workbench::kTrafficFlushPeriod.count());

}  // namespace

TrafficTab::TrafficTab(workbench::TrafficLog& log, QWidget* parent)
    : QWidget(parent),
      log_(log),
      view_(new TrafficView(log, this)),
      pause_(new QPushButton(QString::fromUtf8(workbench::kPauseText), this)),
      errorsOnly_(new QCheckBox(QString::fromUtf8(workbench::kErrorsOnlyText), this)),
      address_(new QSpinBox(this)),
      count_(new QLabel(this)),
      message_(new QLabel(this)) {
  view_->setObjectName(QStringLiteral("trafficView"));
  pause_->setObjectName(QStringLiteral("pauseButton"));
  pause_->setCheckable(true);
  errorsOnly_->setObjectName(QStringLiteral("errorsOnly"));
  address_->setObjectName(QStringLiteral("addressFilter"));
  address_->setRange(workbench::TrafficChoice::kAnyAddress,
                     workbench::TrafficChoice::kHighestAddress);
  address_->setSpecialValueText(QString::fromUtf8(workbench::kAnyAddressText));
  address_->setPrefix(QString::fromUtf8(workbench::kAddressPrefix));
  address_->setValue(workbench::TrafficChoice::kAnyAddress);
  address_->setToolTip(QString::fromUtf8(workbench::kAddressFilterTip));
  message_->setStyleSheet(QStringLiteral("color: red"));
  auto* clear = new QPushButton(QString::fromUtf8(workbench::kClearText), this);
  clear->setObjectName(QStringLiteral("clearButton"));
  auto* save = new QPushButton(QString::fromUtf8(workbench::kSaveLogText), this);
  save->setObjectName(QStringLiteral("saveButton"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(pause_);
  buttons->addWidget(clear);
  buttons->addWidget(save);
  buttons->addWidget(errorsOnly_);
  buttons->addWidget(address_);
  buttons->addStretch();
  buttons->addWidget(count_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_);
  layout->addLayout(buttons);
  layout->addWidget(message_);

  connect(pause_, &QPushButton::toggled, this, [this](bool on) { log_.SetPaused(on); });
  connect(clear, &QPushButton::clicked, this, [this] {
    log_.Clear();
    view_->Reset(Choice());
  });
  connect(save, &QPushButton::clicked, this, [this] { AskAndSave(); });
  connect(errorsOnly_, &QCheckBox::toggled, this, [this] { Refill(); });
  connect(address_, &QSpinBox::valueChanged, this, [this] { Refill(); });

  auto* counter = new QTimer(this);
  connect(counter, &QTimer::timeout, this, [this] { Flush(); });
  counter->start(kFlushMs);
  Refill();
}

TrafficTab::~TrafficTab() = default;

void TrafficTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Flush();
}

void TrafficTab::Flush() {
  if (!isVisible()) return;
  view_->ShowNewLines();
  ShowCount();
}

workbench::TrafficChoice TrafficTab::Choice() const {
  return {errorsOnly_->isChecked(), address_->value()};
}

void TrafficTab::Refill() {
  view_->Reset(Choice());
  ShowCount();
}

void TrafficTab::ShowCount() {
  if (log_.EventCount() == shownCount_) return;
  shownCount_ = log_.EventCount();
  count_->setText(QString::fromStdString(workbench::LogCountText(log_)));
}

QString TrafficTab::ShownText() const {
  return view_->Text();
}

QString TrafficTab::SaveTo(const QString& path) {
  view_->ShowNewLines();  // what the log holds now, not what the last refresh showed
  QString failure = QString::fromStdString(log_.SaveTo(path.toStdString(), view_->ShownNumbers()));
  message_->setText(failure);
  return failure;
}

void TrafficTab::AskAndSave() {
  const workbench::SaveQuestion question =
      workbench::LogSaveQuestion(std::chrono::system_clock::now());
  const std::string path = AskSavePath(this, question);
  if (!path.empty()) SaveTo(QString::fromStdString(path));
}

}  // namespace kt::ui::qt
