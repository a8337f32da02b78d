// The tab "记录": start and stop a CSV recording, its file, rows written and time since start.
#pragma once

#include <QWidget>
#include <string>

#include "workbench/CsvRecorder.h"

class QLabel;
class QPushButton;

namespace kt::ui::qt {

class RecordingTab : public QWidget {
 public:
  explicit RecordingTab(workbench::CsvRecorder& recorder, QWidget* parent = nullptr);

  // Starts recording to `path` (see CsvRecorder::Start: an existing file is never emptied);
  // returns "" or the Chinese refusal. The tab shows the refusal, or what was made of an
  // existing file.
  QString StartRecording(const QString& path);
  // The same for the file named by `pathBytes`, taken byte for byte, as the environment gives it.
  QString StartRecording(const std::string& pathBytes);
  void StopRecording();
  // Brings the labels up to date after a row was written (or failed).
  void Refresh();

  // The default file: ~/kt7340-YYYYMMDD-HHMMSS.csv at the current local time.
  static QString DefaultPath();

 private:
  void AskAndStart();

  workbench::CsvRecorder& recorder_;
  QPushButton* start_;
  QPushButton* stop_;
  QLabel* file_;
  QLabel* rows_;
  QLabel* elapsed_;
  QLabel* message_;
  bool failureShown_ = false;
};

}  // namespace kt::ui::qt
