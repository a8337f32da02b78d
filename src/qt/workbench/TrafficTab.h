// The tab "报文": the traffic log in a fixed-width font with pause, clear, save, the filter
// "只显示错误" (each error with its request) and a filter by slave address.
#pragma once

#include <QString>
#include <QWidget>

#include "workbench/TrafficLog.h"
#include "workbench/TrafficLogFilter.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kt::ui::qt {

class TrafficView;

class TrafficTab : public QWidget {
 public:
  explicit TrafficTab(workbench::TrafficLog& log, QWidget* parent = nullptr);
  ~TrafficTab() override;
  TrafficTab(const TrafficTab&) = delete;
  TrafficTab& operator=(const TrafficTab&) = delete;

  // Saves the shown lines to `path`; returns "" or the Chinese message also shown in the tab.
  QString SaveTo(const QString& path);
  // The lines on the screen, joined by '\n'.
  QString ShownText() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Flush();
  void Refill();
  void ShowCount();
  void AskAndSave();
  workbench::TrafficChoice Choice() const;

  workbench::TrafficLog& log_;
  TrafficView* view_;
  QPushButton* pause_;
  QCheckBox* errorsOnly_;
  QSpinBox* address_;  // its lowest value shows "全部地址": every slave address
  QLabel* count_;
  QLabel* message_;
  uint64_t shownCount_ = ~uint64_t{0};
};

}  // namespace kt::ui::qt
