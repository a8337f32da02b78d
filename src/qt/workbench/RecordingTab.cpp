// The recording's widgets over the recording model.
#include "qt/workbench/RecordingTab.h"

#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

#include "qt/workbench/SaveDialog.h"
#include "workbench/SaveQuestions.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

constexpr int kElapsedRefreshMs = static_cast<int>(workbench::kRecordingRefreshPeriod.count());

}  // namespace

RecordingTab::RecordingTab(workbench::RecordingModel& recording, QWidget* parent)
    : QWidget(parent),
      recording_(recording),
      start_(new QPushButton(QString::fromUtf8(workbench::kStartRecordingText), this)),
      stop_(new QPushButton(QString::fromUtf8(workbench::kStopRecordingText), this)),
      file_(new QLabel(this)),
      rows_(new QLabel(this)),
      elapsed_(new QLabel(this)),
      message_(new QLabel(this)) {
  start_->setObjectName(QStringLiteral("startRecording"));
  stop_->setObjectName(QStringLiteral("stopRecording"));
  file_->setObjectName(QStringLiteral("recordFile"));
  file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  rows_->setObjectName(QStringLiteral("recordRows"));
  elapsed_->setObjectName(QStringLiteral("recordElapsed"));
  message_->setObjectName(QStringLiteral("recordMessage"));
  message_->setStyleSheet(QStringLiteral("color: red"));
  message_->setWordWrap(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start_);
  buttons->addWidget(stop_);
  buttons->addStretch();
  auto* facts = new QFormLayout;
  facts->addRow(QString::fromUtf8(workbench::kRecordingFacts[0]), file_);
  facts->addRow(QString::fromUtf8(workbench::kRecordingFacts[1]), rows_);
  facts->addRow(QString::fromUtf8(workbench::kRecordingFacts[2]), elapsed_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addLayout(facts);
  layout->addWidget(message_);
  layout->addStretch();

  connect(start_, &QPushButton::clicked, this, [this] { AskAndStart(); });
  connect(stop_, &QPushButton::clicked, this, [this] { StopRecording(); });
  auto* clock = new QTimer(this);
  connect(clock, &QTimer::timeout, this, [this] {
    if (!recording_.Recording()) return;
    recording_.UpdateElapsed(std::chrono::steady_clock::now());
    Refresh();
  });
  clock->start(kElapsedRefreshMs);
  Refresh();
}

QString RecordingTab::StartRecording(const QString& path) {
  return StartRecording(QFile::encodeName(path).toStdString());
}

QString RecordingTab::StartRecording(const std::string& pathBytes) {
  const std::string refusal = recording_.Start(pathBytes);
  Refresh();
  return QString::fromStdString(refusal);
}

void RecordingTab::StopRecording() {
  recording_.Stop();
  Refresh();
}

void RecordingTab::Refresh() {
  const bool on = recording_.Recording();
  start_->setEnabled(!on);
  stop_->setEnabled(on);
  file_->setText(QFile::decodeName(QByteArray::fromStdString(recording_.Path())));
  rows_->setText(QString::fromStdString(recording_.RowsText()));
  elapsed_->setText(QString::fromStdString(recording_.ElapsedText()));
  message_->setText(QString::fromStdString(recording_.Message()));
}

void RecordingTab::AskAndStart() {
  const workbench::SaveQuestion question =
      workbench::RecordingQuestion(std::chrono::system_clock::now());
  const std::string path = AskSavePath(this, question);
  if (!path.empty()) StartRecording(QString::fromStdString(path));
}

}  // namespace kt::ui::qt
