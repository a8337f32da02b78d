// The kt7340 program: the monitor's dialogs in Qt windows on the PC's serial ports.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/CMonitorApp.h"
#include "app/Environment.h"
#include "app/StartUp.h"
#include "bus/LineScheduler.h"
#include "modbus/Clock.h"
#include "platform/HeapPages.h"
#include "qt/MonitorIcon.h"
#include "qt/ProgramSettings.h"
#include "qt/QtTranslations.h"
#include "qt/QtWindowHost.h"
#include "qt/workbench/RecordingTab.h"
#include "qt/workbench/WorkbenchWindow.h"
#include "serial/SerialLine.h"
#include "ui/CMonitorDlg.h"

namespace {

constexpr std::chrono::minutes kHeapPagesPeriod{10};

// The Qt workbench window as the start-up uses it.
class QtStartUpWorkbench : public kt::app::StartUpWorkbench {
 public:
  explicit QtStartUpWorkbench(kt::ui::qt::WorkbenchWindow& window) : window_(window) {
    soon_.setSingleShot(true);
    QObject::connect(&soon_, &QTimer::timeout, &window_, [this] { job_(); });
  }
  void Attach(kt::ui::CMonitorDlg& dialog) override { window_.Attach(dialog); }
  void WhenMainDialogRuns(std::function<void()> job) override {
    job_ = std::move(job);
    soon_.start(0);
  }
  void ShowBeside() override { window_.ShowBeside(); }
  void StartRecording(const std::string& path) override {
    window_.Recording().StartRecording(path);
  }
  bool Recording() const override { return window_.Recorder().Recording(); }

 private:
  kt::ui::qt::WorkbenchWindow& window_;
  QTimer soon_;  // the main dialog's loop runs the job
  std::function<void()> job_;
};

}  // namespace

int main(int argc, char** argv) {
  // The options are read before any window exists, so they work without a display. Only the
  // program name reaches Qt.
  if (const auto status =
          kt::app::RunConsoleOptions(std::vector<std::string>(argv + 1, argv + argc))) {
    return *status;
  }
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  kt::ui::qt::SetUpProgramSettings();
  QApplication::setWindowIcon(kt::ui::qt::MonitorIcon());
  // Qt's file dialogs, questions and context menus speak the program's language, Chinese,
  // whatever the desktop's.
  kt::ui::qt::InstallQtTranslations(app, kt::ui::qt::ProgramLocale());
  // Windows stay until the application object is done with them; the last one closing must not
  // end the program early.
  QApplication::setQuitOnLastWindowClosed(false);

  kt::ui::qt::QtWindowHost host;
  kt::serial::SerialLine port;
  kt::modbus::SteadyClock clock;
  // The main dialog's port goes through the line's schedule, which a bus poller may share.
  kt::bus::LineScheduler line(port, clock);
  kt::app::CMonitorApp theApp(host, line.MainPort(), clock);
  kt::ui::qt::WorkbenchWindow window;
  window.AddBusTab(line, clock);
  QtStartUpWorkbench workbench(window);
  // A session left polling and recording for days keeps its memory: what the allocator freed
  // goes back to the system every ten minutes.
  QTimer heapPages;
  QObject::connect(&heapPages, &QTimer::timeout, [] { kt::platform::ReturnFreeHeapPages(); });
  heapPages.start(kHeapPagesPeriod);
  kt::app::RunMonitorWindows(
      theApp, workbench, kt::app::ReadStartUpRequests(kt::app::EnvironmentValue),
      [&port] { return port.DeviceName(); }, &line);
  return 0;
}
