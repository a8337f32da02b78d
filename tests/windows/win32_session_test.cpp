// A whole use of the Windows program through window messages, as a user's clicks and typing
// arrive, started as kt7340.exe starts with KT7340_OPEN_WORKBENCH=1 and KT7340_RECORD set: the
// settings confirmed, the workbench open and recording, the address typed, Run, live values
// and their alarms painted, the meter settings written, the workbench button, Stop,
// the values going grey, the close box and "退  出" asking first while recording. The meter is
// the simulated one, in process, on the real clock.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "Win32StepUser.h"
#include "app/CMonitorApp.h"
#include "app/Environment.h"
#include "app/StartUp.h"
#include "app/win32/Win32StartUpWorkbench.h"
#include "commands/MeterSetDialogIds.h"
#include "modbus/Clock.h"
#include "platform/win32/WideText.h"
#include "sim/SimulatedLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"
#include "win32/Win32WindowHost.h"
#include "win32/workbench/WorkbenchWindow.h"
#include "workbench/CsvRecorder.h"
#include "workbench/RecordFile.h"

namespace {

using namespace kt::ui::main_ids;
using kt::platform::win32::Utf8FromWide;
using kt::platform::win32::WideFromUtf8;
using kt::ui::win32::Win32WindowHost;

constexpr uint8_t kAddress = 7;

// The visible dialog window (or message box) of this thread titled `title`, or nullptr.
HWND VisibleDialog(const std::string& title) {
  struct Search {
    std::wstring title;
    HWND found;
  } search{kt::platform::win32::WideFromUtf8(title), nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = kt::ui::win32::PointerFrom<Search*>(p);
        wchar_t text[128] = {};
        GetWindowTextW(w, text, 128);
        if (IsWindowVisible(w) && s->title == text) s->found = w;
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string Text(HWND dialog, int id) {
  wchar_t text[2048] = {};
  GetDlgItemTextW(dialog, id, text, 2048);
  return kt::platform::win32::Utf8FromWide(text);
}

void Click(HWND dialog, int id) {
  PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void Type(HWND dialog, int id, const char* text) {
  SetDlgItemTextW(dialog, id, kt::platform::win32::WideFromUtf8(text).c_str());
}

// A message box's text (its static text item) when `box` is one showing `text`.
bool BoxSays(HWND box, const std::string& text) {
  return box != nullptr && Text(box, 0xFFFF) == text;
}

// The text colour the dialog gives a control when it is painted.
COLORREF PaintedTextColour(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  HDC dc = CreateCompatibleDC(nullptr);
  SetTextColor(dc, RGB(1, 2, 3));
  SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(control));
  const COLORREF c = GetTextColor(dc);
  DeleteDC(dc);
  return c;
}

// Pixels of the control on the screen that are plainly red.
int RedPixels(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT r{};
  GetClientRect(control, &r);
  HDC dc = GetDC(control);
  int red = 0;
  for (int y = 0; y < r.bottom; ++y) {
    for (int x = 0; x < r.right; ++x) {
      const COLORREF p = GetPixel(dc, x, y);
      if (GetRValue(p) > 160 && GetGValue(p) < 90 && GetBValue(p) < 90) ++red;
    }
  }
  ReleaseDC(control, dc);
  return red;
}

// A shown voltage ("220.13 V", "22.01 KV") in volts; NaN without that unit.
double Volts(const std::string& shown) {
  double v = 0;
  char unit[8] = {};
  if (std::sscanf(shown.c_str(), "%lf %7s", &v, unit) != 2) return std::nan("");
  if (std::string(unit) == "V") return v;
  if (std::string(unit) == "KV") return v * 1000;
  return std::nan("");
}

// Closes whatever is open so that the program ends: a box first (Yes to a question), then the
// dialogs.
void GiveUp() {
  if (HWND box = VisibleDialog("KT7340")) {
    const bool question = GetDlgItem(box, IDYES) != nullptr;
    PostMessageW(box, WM_COMMAND, question ? IDYES : kt::ui::IDOK, 0);
    return;
  }
  for (const char* title : {"Dialog", "通讯设置", "7340智能电力检测仪---Tenbrook"}) {
    if (HWND w = VisibleDialog(title)) PostMessageW(w, WM_COMMAND, kt::ui::IDCANCEL, 0);
  }
}

TEST(WindowsSession, MonitorsAndConfiguresTheSimulatedMeterThroughWindowMessages) {
  kt::modbus::SteadyClock clock;
  kt::sim::MeterConfig meter;
  meter.address = kAddress;
  meter.statusTrailer = true;
  meter.parameters[1] = 20000;  // over voltage above 200 V: the 220 V phases alarm
  kt::sim::SimulatedLine line(clock, meter);
  Win32WindowHost host;
  kt::app::CMonitorApp app(host, line, clock, [] {
    return std::vector<kt::serial::PortInfo>{{"COM1", "\\\\.\\COM1", "test adapter"}};
  });
  kt::ui::win32::WorkbenchWindow workbench(kt::workbench::SystemRecordFiles());
  kt::app::win32::Win32StartUpWorkbench startUpWorkbench(workbench, host);
  // A folder and file named in Chinese: the environment reaches the recorder as UTF-8.
  const auto folder = std::filesystem::temp_directory_path() / L"kt7340_会话";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::filesystem::path csv = folder / L"记录.csv";
  ASSERT_EQ(_wputenv_s(L"KT7340_RECORD", csv.wstring().c_str()), 0);
  ASSERT_EQ(_wputenv_s(L"KT7340_OPEN_WORKBENCH", L"1"), 0);
  const kt::app::StartUpRequests requests = kt::app::ReadStartUpRequests(kt::app::EnvironmentValue);

  const std::string mainTitle = "7340智能电力检测仪---Tenbrook";
  HWND main = nullptr;
  double voltsBefore = 0;
  const auto box = [] { return VisibleDialog("KT7340"); };
  bool stayedAfterNo = false;

  kt::testing::Win32StepUser user(
      {
          {"the settings", [] { return VisibleDialog("通讯设置") != nullptr; },
           [] { Click(VisibleDialog("通讯设置"), kt::ui::IDOK); }},
          {"the workbench open and recording with the main dialog",
           [&] {
             main = VisibleDialog(mainTitle);
             return main != nullptr && workbench.Visible() && workbench.Recorder().Recording();
           },
           [&] {
             EXPECT_EQ(GetWindow(workbench.Handle(), GW_OWNER), main);
             EXPECT_EQ(kt::platform::win32::WideFromUtf8(workbench.Recorder().Path()),
                       csv.wstring());
             Type(main, kSlaveAddressEdit, "7");
             Click(main, kRunButton);
           }},
          {"a voltage", [&] { return !std::isnan(Volts(Text(main, kPhaseVoltageABox))); },
           [&] {
             voltsBefore = Volts(Text(main, kPhaseVoltageABox));
             EXPECT_EQ(Text(main, kVoltageStatus1Box), "过压");
             // The red of the alarm reaches the screen; a black value has none.
             EXPECT_GT(RedPixels(main, kVoltageStatus1Box), 4);
             EXPECT_EQ(RedPixels(main, kPhaseVoltageABox), 0);
             EXPECT_EQ(PaintedTextColour(main, kPhaseVoltageABox), kt::ui::kBlack);
             Click(main, kMeterSettingsButton);
           }},
          {"the meter settings", [] { return VisibleDialog("Dialog") != nullptr; },
           [] {
             HWND d = VisibleDialog("Dialog");
             Type(d, kt::ui::meter_set_ids::kPtEdit, "100");
             Type(d, kt::ui::meter_set_ids::kCtEdit, "5");
             Click(d, kt::ui::IDOK);
           }},
          {"settings confirmed", [&] { return BoxSays(box(), "设置仪表参数成功"); },
           [&] { PostMessageW(box(), WM_COMMAND, kt::ui::IDOK, 0); }},
          {"the new ratio in the values",
           [&] { return Volts(Text(main, kPhaseVoltageABox)) > 50 * voltsBefore; },
           [&] {
             EXPECT_EQ(line.meter().ptRatio(), 100);
             Click(main, kWorkbenchButton);
           }},
          {"the workbench window", [] { return VisibleDialog("诊断与记录") != nullptr; },
           [&] {
             PostMessageW(VisibleDialog("诊断与记录"), WM_CLOSE, 0, 0);
             Click(main, kRunButton);
           }},
          {"stopped", [&] { return Text(main, kRunButton) == "运行"; }, [] {}},
          {"the values gone grey",
           [&] { return PaintedTextColour(main, kPhaseVoltageABox) == kt::ui::kGrey; },
           [&] { PostMessageW(main, WM_CLOSE, 0, 0); }},  // the close box
          {"asked before closing", [&] { return BoxSays(box(), kt::app::kRecordingExitQuestion); },
           [&] { PostMessageW(box(), WM_COMMAND, IDNO, 0); }},
          {"still open after No", [&] { return box() == nullptr; },
           [&] {
             stayedAfterNo = IsWindowVisible(main) != 0 && workbench.Recorder().Recording();
             Click(main, kt::ui::IDCANCEL);  // "退  出"
           }},
          {"asked before leaving", [&] { return BoxSays(box(), kt::app::kRecordingExitQuestion); },
           [&] { PostMessageW(box(), WM_COMMAND, IDYES, 0); }},
      },
      &GiveUp);
  kt::app::RunMonitorWindows(app, startUpWorkbench, requests, {});
  _wputenv_s(L"KT7340_RECORD", L"");
  _wputenv_s(L"KT7340_OPEN_WORKBENCH", L"");
  EXPECT_TRUE(stayedAfterNo);
  // Rows were recorded from the start to the end, after the header.
  const std::string recorded = kt::test::ReadBytes(csv);
  const std::string header = "\xEF\xBB\xBF" + kt::workbench::CsvHeader() + "\r\n";
  EXPECT_EQ(recorded.substr(0, header.size()), header);
  EXPECT_GT(recorded.size(), header.size());

  EXPECT_EQ(user.Failure(), "");
  EXPECT_TRUE(user.Done());
  EXPECT_FALSE(line.GetPortOpen());
  EXPECT_EQ(line.meter().ctRatio(), 5);
}

}  // namespace
