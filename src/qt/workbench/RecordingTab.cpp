// The recording's widgets; the recorder itself writes each row as its block is decoded.
#include "qt/workbench/RecordingTab.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

constexpr int kElapsedRefreshMs = 1000;

QString Elapsed(std::chrono::steady_clock::duration d) {
  const auto total = std::chrono::duration_cast<std::chrono::seconds>(d).count();
  return QStringLiteral("%1:%2:%3")
      .arg(total / 3600, 2, 10, QLatin1Char('0'))
      .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(total % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

RecordingTab::RecordingTab(workbench::CsvRecorder& recorder, QWidget* parent)
    : QWidget(parent),
      recorder_(recorder),
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
    if (recorder_.Recording()) Refresh();
  });
  clock->start(kElapsedRefreshMs);
  Refresh();
}

QString RecordingTab::DefaultPath() {
  return QDir::home().filePath(
      QStringLiteral("kt7340-%1.csv")
          .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

QString RecordingTab::StartRecording(const QString& path) {
  return StartRecording(QFile::encodeName(path).toStdString());
}

QString RecordingTab::StartRecording(const std::string& pathBytes) {
  const std::string refusal = recorder_.Start(pathBytes);
  failureShown_ = false;
  message_->setText(QString::fromStdString(refusal.empty() ? recorder_.StartNote() : refusal));
  Refresh();
  return QString::fromStdString(refusal);
}

void RecordingTab::StopRecording() {
  recorder_.Stop();
  Refresh();
}

void RecordingTab::Refresh() {
  const bool on = recorder_.Recording();
  start_->setEnabled(!on);
  stop_->setEnabled(on);
  file_->setText(QFile::decodeName(QByteArray::fromStdString(recorder_.Path())));
  rows_->setText(QString::number(recorder_.RowsWritten()));
  if (on) elapsed_->setText(Elapsed(std::chrono::steady_clock::now() - recorder_.StartedAt()));
  // A failed write is said once; the recording has stopped with it.
  if (!recorder_.Failure().empty() && !failureShown_) {
    failureShown_ = true;
    message_->setText(QString::fromStdString(recorder_.Failure()));
  }
}

void RecordingTab::AskAndStart() {
  // No question about overwriting: an existing file is never emptied, and the tab then says
  // whether the rows go after its own or to a numbered file beside it.
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("开始记录"), DefaultPath(),
                                                    QStringLiteral("CSV 文件 (*.csv)"), nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
  if (!path.isEmpty()) StartRecording(path);
}

}  // namespace kt::ui::qt
