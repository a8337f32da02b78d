// The tab "记录": draws the recording model (its file, rows written, time since start and
// message) and forwards "开始记录…" and "停止记录" to it.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "workbench/RecordingModel.h"

class QLabel;
class QPushButton;

namespace kt::ui::qt {

class RecordingTab : public QWidget {
 public:
  explicit RecordingTab(workbench::RecordingModel& recording, QWidget* parent = nullptr);

  // Starts recording to `path` (RecordingModel::Start); returns "" or the Chinese refusal.
  QString StartRecording(const QString& path);
  // The same for the file named by `pathBytes`, taken byte for byte, as the environment gives it.
  QString StartRecording(const std::string& pathBytes);
  void StopRecording();
  // Draws the model's texts again (after a row was written, or failed).
  void Refresh();

 private:
  void AskAndStart();

  workbench::RecordingModel& recording_;
  QPushButton* start_;
  QPushButton* stop_;
  QLabel* file_;
  QLabel* rows_;
  QLabel* elapsed_;
  QLabel* message_;
};

}  // namespace kt::ui::qt
