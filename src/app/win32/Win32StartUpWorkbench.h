// The Windows workbench window as the start-up uses it.
#pragma once

#include "app/StartUp.h"
#include "ui/CMonitorDlg.h"
#include "win32/Win32WindowHost.h"
#include "win32/workbench/RecordingPanel.h"
#include "win32/workbench/WorkbenchWindow.h"

namespace kt::app::win32 {

class Win32StartUpWorkbench : public StartUpWorkbench {
 public:
  Win32StartUpWorkbench(ui::win32::WorkbenchWindow& window, ui::win32::Win32WindowHost& host)
      : window_(window), host_(host) {}

  void Attach(ui::CMonitorDlg& dialog) override {
    window_.Attach(dialog, [this, &dialog] { return host_.WindowOf(dialog); });
  }
  void WhenMainDialogRuns(std::function<void()> job) override { window_.RunSoon(std::move(job)); }
  void ShowBeside() override { window_.ShowBeside(); }
  void StartRecording(const std::string& path) override {
    window_.Recording().StartRecording(path);
  }
  bool Recording() const override { return window_.Recorder().Recording(); }

 private:
  ui::win32::WorkbenchWindow& window_;
  ui::win32::Win32WindowHost& host_;
};

}  // namespace kt::app::win32
