// The workbench window on Windows for real, against the simulated meter with a reversed CT on
// phase B: opened by the main dialog's button beside it, the log's list view shows the
// configuration exchange in the core's texts, a recording has the BOM, the header and a row per
// block, the trend draws the ticked series and exports a PNG, the wiring check names the CT.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "Win32StepUser.h"
#include "modbus/Clock.h"
#include "modbus/RequestFrames.h"
#include "platform/win32/WideText.h"
#include "sim/SimulatedLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"
#include "values/MeasuredBlock.h"
#include "win32/PageKeys.h"
#include "win32/Win32WindowHost.h"
#include "win32/workbench/Clipboard.h"
#include "win32/workbench/GdiPlus.h"
#include "win32/workbench/RecordingPanel.h"
#include "win32/workbench/RegistrySettings.h"
#include "win32/workbench/TrafficPanel.h"
#include "win32/workbench/TrendPanel.h"
#include "win32/workbench/WindowDpi.h"
#include "win32/workbench/WiringPanel.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "win32/workbench/WorkbenchWindow.h"
#include "workbench/CsvRecorder.h"
#include "workbench/TrendChoices.h"
#include "workbench/WorkbenchLook.h"

namespace {

using namespace kt::ui;
using kt::ui::win32::WorkbenchTab;
namespace ids = kt::ui::win32::workbench_ids;
using kt::workbench::NumberSetting;
using kt::workbench::TrendSeries;

constexpr int64_t kStepLimitMs = 60000;
constexpr uint64_t kBlocksToRecord = 3;
// Steps to wait for a key press to reach its window.
constexpr int kTabWaits = 20;

void Click(HWND control) {
  ASSERT_NE(control, nullptr);
  SendMessageW(control, BM_CLICK, 0, 0);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

uint32_t BigEndian(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[i]);
  return value;
}

std::string Utf8(const std::wstring& wide) {
  return kt::platform::win32::Utf8FromWide(wide);
}

std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return Utf8(text);
}

// Answers the save dialog titled `title` with `path`: the name box is the combo box of the
// Explorer-style dialog, or the older edit.
void SaveAs(const wchar_t* title, const std::filesystem::path& path) {
  HWND files = FindWindowW(L"#32770", title);
  for (const int nameBox : {0x47C, 0x480}) {
    if (GetDlgItem(files, nameBox) != nullptr) SetDlgItemTextW(files, nameBox, path.c_str());
  }
  PostMessageW(files, WM_COMMAND, kt::ui::IDOK, 0);
}

// Keys pressed one after the other with the keys `held` held down, as the keyboard gives them to
// the focused window.
void Press(std::initializer_list<WORD> keys, std::initializer_list<WORD> held = {}) {
  std::vector<INPUT> inputs;
  const auto key = [&inputs](WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  for (const WORD k : held) key(k, false);
  for (const WORD k : keys) {
    key(k, false);
    key(k, true);
  }
  for (const WORD k : held) key(k, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// With KT7340_SCREENSHOT_DIR set (bench/win32_workbench_screens.sh), the window as it is on the
// screen goes to DIR/windows-workbench-NAME.png; else nothing happens.
void Shoot(HWND window, const char* name) {
  const wchar_t* dir = _wgetenv(L"KT7340_SCREENSHOT_DIR");
  if (dir == nullptr || window == nullptr) return;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT frame{};
  GetClientRect(window, &frame);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&frame), 2);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap =
      CreateCompatibleBitmap(screen, frame.right - frame.left, frame.bottom - frame.top);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, frame.right - frame.left, frame.bottom - frame.top, screen, frame.left,
         frame.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  kt::ui::win32::SavePng(bitmap, Utf8(std::wstring(dir) + L"/windows-workbench-" +
                                      kt::platform::win32::WideFromUtf8(name) + L".png"));
  DeleteObject(bitmap);
}

// The angle from `from` to `to` in degrees, folded into [0, 180].
double AngleBetween(double from, double to) {
  const double d = std::fmod(std::abs(to - from), 360.0);
  return d > 180 ? 360 - d : d;
}

// The context menu open: its items, and item `menuPick` chosen by the keys.
int menuPick = 0;
std::vector<std::string> menuItems;

void CALLBACK PickFromMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu == nullptr || IsWindowVisible(menu) == 0) return;
  KillTimer(nullptr, timer);
  auto* items = kt::ui::win32::PointerFrom<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(items); ++i) {
    wchar_t text[32] = {};
    GetMenuStringW(items, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
    menuItems.push_back(Utf8(text));
  }
  for (int i = 0; i <= menuPick; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

// Sends `message` to `window`, whose context menu opens: item `pick` is chosen; returns the items.
std::vector<std::string> ChooseFromMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        int pick) {
  menuPick = pick;
  menuItems.clear();
  SetTimer(nullptr, 0, 50, &PickFromMenu);
  SendMessageW(window, message, wParam, lParam);
  return menuItems;
}
const std::vector<std::string> kCopyMenu = {"复制", "全选"};

TEST(Win32Workbench, FollowsTheMainDialogAgainstTheSimulatedMeter) {
  const auto folder = std::filesystem::temp_directory_path() / "kt7340_workbench_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::filesystem::path csv = folder / L"记录.csv";
  const std::filesystem::path logFile = folder / L"报文.txt";
  const std::filesystem::path png = folder / L"趋势.png";
  const std::filesystem::path report = folder / L"报告.html";
  std::string reportOpened;
  std::string reportTold;
  // An earlier recording in the file chosen: "开始记录…" adds to it, without the save dialog's
  // question about overwriting.
  const std::string header = "\xEF\xBB\xBF" + kt::workbench::CsvHeader() + "\r\n";
  const std::string earlier = header + "2026-01-02T03:04:05.678,1,220.00\r\n";
  std::ofstream(csv, std::ios::binary) << earlier;

  kt::ui::win32::Win32WindowHost host;
  kt::modbus::SteadyClock clock;
  kt::sim::MeterConfig meter;
  meter.load.wiringFaults.reversedCt[1] = true;  // phase B
  kt::sim::SimulatedLine line(clock, meter);
  CMonitorDlg dialog(host, line, clock);
  kt::ui::win32::WorkbenchWindow workbench(kt::workbench::SystemRecordFiles());
  workbench.Attach(dialog, [&] { return host.WindowOf(dialog); });
  uint64_t blocksWhileRecording = 0;
  uint64_t blocks = 0;
  workbench.SubscribeBlocks([&](const kt::values::MeasuredBlock&) {
    ++blocks;
    if (workbench.Recorder().Recording()) ++blocksWhileRecording;
  });
  auto main = [&] { return host.WindowOf(dialog); };
  auto& traffic = workbench.Traffic();
  auto& trend = workbench.Trend();
  auto& wiring = workbench.Wiring();
  uint64_t blocksSeen = 0;
  bool narrowRedraw = false;
  int rowsAtKeys = 0;
  int addedRows = 0;
  RECT redrawn{};
  int tabWaits = 0;

  std::vector<kt::testing::StepScript::Step> steps = {
      {"the main dialog", [&] { return main() != nullptr && IsWindowVisible(main()) != 0; },
       [&] {
         SetDlgItemTextW(main(), main_ids::kSlaveAddressEdit, L"1");
         Click(GetDlgItem(main(), main_ids::kRunButton));
         EXPECT_FALSE(workbench.Visible());
         Click(GetDlgItem(main(), main_ids::kWorkbenchButton));
         EXPECT_TRUE(workbench.Visible());
         // Beside the main dialog, clear of it, owned by it.
         RECT a{};
         RECT b{};
         RECT both{};
         GetWindowRect(main(), &a);
         GetWindowRect(workbench.Handle(), &b);
         EXPECT_FALSE(IntersectRect(&both, &a, &b)) << b.left << "," << b.top;
         EXPECT_EQ(GetWindow(workbench.Handle(), GW_OWNER), main());
         // Tab in the window moves the focus from "清除" on to "保存…".
         SetForegroundWindow(workbench.Handle());
         SetFocus(traffic.Item(ids::kClearButton));
         EXPECT_EQ(GetFocus(), traffic.Item(ids::kClearButton));
         Press({VK_TAB});
       }},
      {"the Tab key handled",
       [&] { return GetFocus() != traffic.Item(ids::kClearButton) || ++tabWaits > kTabWaits; },
       [&] { EXPECT_EQ(GetFocus(), traffic.Item(ids::kSaveButton)); }},
      {"the configuration exchange in the log",
       [&] {
         traffic.Flush();
         return traffic.ShownText().find("应答 (95 字节)") != std::string::npos;
       },
       [&] {
         Shoot(workbench.Handle(), "log");
         const std::string log = traffic.ShownText();
         EXPECT_NE(log.find("\t发\t1\t03\t读 0x0300 ×19\t01 03 03 00 00 13 "), std::string::npos)
             << log;
         // The list view asks for its rows: the same texts as the log's columns.
         HWND list = traffic.List();
         EXPECT_EQ(ListView_GetItemCount(list), traffic.Count());
         wchar_t cell[256] = {};
         ListView_GetItemText(list, 0, 4, cell, 256);
         EXPECT_EQ(kt::platform::win32::Utf8FromWide(cell),
                   traffic.LineOfRow(0)->Columns().reading);
         // Only the errors with their requests: no reply is an error here.
         Click(traffic.Item(ids::kErrorsOnlyBox));
         EXPECT_EQ(traffic.ShownText().find("应答 ("), std::string::npos);
         Click(traffic.Item(ids::kErrorsOnlyBox));
         EXPECT_NE(traffic.ShownText().find("应答 (95 字节)"), std::string::npos);
         // Ctrl+A, Ctrl+C in the list: every shown line on the clipboard.
         kt::ui::win32::CopyToClipboard(traffic.Handle(), "-");
         SetForegroundWindow(workbench.Handle());
         SetFocus(traffic.List());
         rowsAtKeys = traffic.Count();
         Press({'A', 'C'}, {VK_CONTROL});
       }},
      {"new lines in the list",
       [&] {
         // Whatever is pending is drawn first; then only the rows of the new lines are marked.
         UpdateWindow(traffic.List());
         const int before = traffic.Count();
         traffic.Flush();
         addedRows = traffic.Count() - before;
         if (addedRows <= 0) return false;
         GetUpdateRect(traffic.List(), &redrawn, FALSE);
         return true;
       },
       [&] {
         RECT row{};
         ListView_GetItemRect(traffic.List(), 0, &row, LVIR_BOUNDS);
         RECT client{};
         GetClientRect(traffic.List(), &client);
         EXPECT_GT(redrawn.bottom, redrawn.top);
         EXPECT_LE(redrawn.bottom - redrawn.top, (addedRows + 1) * (row.bottom - row.top));
         EXPECT_LT(redrawn.bottom - redrawn.top, client.bottom / 2);
       }},
      {"the keys copied the lines",
       [&] { return kt::ui::win32::ClipboardText(traffic.Handle()) != "-"; },
       [&] {
         const std::string copied = kt::ui::win32::ClipboardText(traffic.Handle());
         EXPECT_EQ(Count(copied, "\r\n") + 1, static_cast<size_t>(rowsAtKeys));
         EXPECT_NE(copied.find("读 0x0300 ×19"), std::string::npos);
         EXPECT_EQ(traffic.SaveTo(Utf8(logFile.wstring())), "");
         // Ctrl+Shift+Tab from the first tab goes round to the last, Ctrl+Tab back and on.
         SendMessageW(workbench.Handle(), kt::ui::win32::kStepPageMessage, static_cast<WPARAM>(-1),
                      0);
         EXPECT_NE(workbench.CurrentTab(), WorkbenchTab::Traffic);
         SendMessageW(workbench.Handle(), kt::ui::win32::kStepPageMessage, 1, 0);
         EXPECT_EQ(workbench.CurrentTab(), WorkbenchTab::Traffic);
         SendMessageW(workbench.Handle(), kt::ui::win32::kStepPageMessage, 1, 0);
         EXPECT_EQ(workbench.CurrentTab(), WorkbenchTab::Recording);
         // "开始记录…" runs the save dialog; the next step answers it from within its loop.
         Click(workbench.Recording().Item(ids::kStartRecordingButton));
       }},
      {"the save dialog of 开始记录…",
       [&] { return FindWindowW(L"#32770", L"开始记录") != nullptr; },
       [&] { SaveAs(L"开始记录", csv); }},
      {"a few blocks recorded",
       [&] { return workbench.Recorder().RowsWritten() >= kBlocksToRecord; },
       [&] {
         Shoot(workbench.Handle(), "recording");
         EXPECT_EQ(workbench.Recorder().Path(), Utf8(csv.wstring()));
         EXPECT_EQ(TextOf(workbench.Recording().Item(ids::kRecordMessage)),
                   "记录追加在已有文件的末尾，原有内容保留");
         Click(workbench.Recording().Item(ids::kStopRecordingButton));
         EXPECT_FALSE(workbench.Recorder().Recording());
         EXPECT_EQ(TextOf(workbench.Recording().Item(ids::kRecordRows)),
                   std::to_string(blocksWhileRecording));
         workbench.ShowTab(WorkbenchTab::Trend);
         blocksSeen = blocks;
       }},
      {"a block on the trend tab", [&] { return blocks >= blocksSeen + 2; },
       [&] {
         const kt::workbench::SeriesSet shown = trend.Columns().shown();
         for (size_t s = 0; s < kt::workbench::kTrendSeriesCount; ++s) {
           const bool atStart =
               std::find(kt::workbench::kShownAtStart.begin(), kt::workbench::kShownAtStart.end(),
                         static_cast<TrendSeries>(s)) != kt::workbench::kShownAtStart.end();
           EXPECT_EQ(shown[s], atStart) << s;
           EXPECT_EQ(!trend.Columns().Points(static_cast<TrendSeries>(s)).empty(), atStart) << s;
         }
         Click(trend.Item(ids::kFirstSeriesBox + static_cast<int>(TrendSeries::Frequency)));
         EXPECT_TRUE(trend.Columns().shown()[static_cast<size_t>(TrendSeries::Frequency)]);
         const auto& hz = trend.Axis(kt::workbench::UnitGroup::Frequency);
         EXPECT_TRUE(hz.used);
         EXPECT_STREQ(hz.unit.unit, "Hz");
         const double f = trend.Columns().Points(TrendSeries::Frequency).back().value;
         EXPECT_LE(hz.range.low, f);
         EXPECT_GE(hz.range.high, f);
         blocksSeen = blocks;
       }},
      {"more blocks on the trend tab",
       [&] {
         // Between two tick steps a block redraws a strip, not the whole chart.
         RECT chart{};
         GetClientRect(trend.Chart(), &chart);
         const RECT r = trend.LastRedrawn();
         if (r.right > r.left && r.right - r.left < chart.right / 2) narrowRedraw = true;
         return blocks >= blocksSeen + 4;
       },
       [&] {
         EXPECT_TRUE(narrowRedraw);
         // The shortest span: the axis covers a minute and one tick step more.
         trend.SetSpan(std::chrono::minutes(1));
         const auto covered = trend.Columns().axis().to - trend.Columns().axis().from;
         EXPECT_GT(covered, std::chrono::minutes(1));
         EXPECT_LT(covered, std::chrono::minutes(2));
         Shoot(workbench.Handle(), "trend");
         // The wheel over the chart narrows the time axis, "复位" undoes it and tells the
         // gestures in its tooltip; the pointer on a line tells its value below the chart.
         const RECT plot = trend.Places().plot;
         POINT middle{(plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2};
         ClientToScreen(trend.Chart(), &middle);
         SendMessageW(trend.Chart(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                      MAKELPARAM(middle.x, middle.y));
         EXPECT_TRUE(trend.Zoomed());
         Click(trend.Item(ids::kTrendResetButton));
         EXPECT_FALSE(trend.Zoomed());
         EXPECT_EQ(trend.Tip(ids::kTrendResetButton), kt::workbench::kResetZoomTip);
         EXPECT_EQ(traffic.Tip(ids::kAddressFilterEdit), kt::workbench::kAddressFilterTip);
         const auto& hz = trend.Columns().Points(TrendSeries::Frequency);
         const auto& hzAxis = trend.Axis(kt::workbench::UnitGroup::Frequency);
         const double share =
             (hzAxis.range.high - hz.back().value) / (hzAxis.range.high - hzAxis.range.low);
         const auto msOf = [](std::chrono::system_clock::time_point t) {
           return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count();
         };
         const auto& time = trend.Columns().axis();
         const double across = (hz.back().ms - msOf(time.from)) / (msOf(time.to) - msOf(time.from));
         const int x = plot.left + static_cast<int>(std::lround(across * (plot.right - plot.left)));
         const int y = plot.top + static_cast<int>(std::lround(share * (plot.bottom - plot.top)));
         SendMessageW(trend.Chart(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
         const std::string pointed = TextOf(trend.Item(ids::kTrendValue));
         EXPECT_NE(pointed.find(" 频率 "), std::string::npos) << pointed;
         EXPECT_EQ(trend.ExportPng(Utf8(png.wstring())), "");
         // As the window opens beside the main dialog on a 1920 screen, 614 pixels wide.
         RECT frame{};
         GetWindowRect(workbench.Handle(), &frame);
         const UINT unmoved = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
         SetWindowPos(workbench.Handle(), nullptr, 0, 0, 614, frame.bottom - frame.top, unmoved);
         Shoot(workbench.Handle(), "trend-614");
         SetWindowPos(workbench.Handle(), nullptr, 0, 0, frame.right - frame.left,
                      frame.bottom - frame.top, unmoved);
         workbench.ShowTab(WorkbenchTab::Wiring);
         blocksSeen = blocks;
         // The picture: a PNG whose header gives the chart's size plus the title band (28 pixels
         // at 96 dpi).
         RECT chart{};
         GetClientRect(trend.Chart(), &chart);
         const std::string picture = kt::test::ReadBytes(png);
         ASSERT_GT(picture.size(), 24U);
         EXPECT_EQ(picture.substr(0, 8), "\x89PNG\r\n\x1A\n");
         EXPECT_EQ(picture.substr(12, 4), "IHDR");
         EXPECT_GT(chart.right, 200);
         EXPECT_EQ(BigEndian(picture, 16), static_cast<uint32_t>(chart.right));
         const int band = kt::ui::win32::ScaledPx(28, kt::ui::win32::WindowDpi(trend.Chart()));
         EXPECT_EQ(BigEndian(picture, 20), static_cast<uint32_t>(chart.bottom + band));
       }},
      {"a block on the wiring tab", [&] { return blocks >= blocksSeen + 1; },
       [&] {
         int named = -1;
         for (size_t r = 0; r < wiring.Rows().size(); ++r) {
           const auto& row = wiring.Rows()[r];
           EXPECT_EQ(wiring.CellText(static_cast<int>(r), 2), row.message);
           if (row.verdict == kt::workbench::Verdict::Fault &&
               row.message.find("B相") != std::string::npos &&
               row.message.find("接反") != std::string::npos) {
             named = static_cast<int>(r);
           }
         }
         ASSERT_GE(named, 0);
         // Its whole message under the table once chosen, and the row copied from the menu.
         const auto& fault = wiring.Rows()[static_cast<size_t>(named)];
         HWND table = wiring.Table();
         ListView_SetItemState(table, named, LVIS_SELECTED, LVIS_SELECTED);
         EXPECT_EQ(TextOf(wiring.Item(ids::kWiringDetail)), fault.message);
         ChooseFromMenu(table, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(table), -1, 0);
         EXPECT_EQ(kt::ui::win32::ClipboardText(table),
                   fault.name + "\t异常\t" + fault.message + "\r\n");
         Shoot(workbench.Handle(), "wiring");
         // Phase B's current points away from its voltage, A's and C's do not.
         const auto* d = wiring.Diagram();
         ASSERT_NE(d, nullptr);
         EXPECT_GT(AngleBetween(d->voltages[1].angleDeg, d->currents[1].angleDeg), 90.0);
         EXPECT_LT(AngleBetween(d->voltages[0].angleDeg, d->currents[0].angleDeg), 90.0);
         EXPECT_LT(AngleBetween(d->voltages[2].angleDeg, d->currents[2].angleDeg), 90.0);
         // The nominal frequency and the CTs' rated secondary picked are remembered (and put
         // back).
         const auto pickIn = [&](int id, int pick) {
           HWND list = wiring.Item(id);
           SendMessageW(list, CB_SETCURSEL, pick, 0);
           SendMessageW(wiring.Handle(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(list));
         };
         const kt::ui::win32::RegistrySettings settings;
         for (const int pick : {1, 0}) {
           pickIn(ids::kFrequencyList, pick);
           EXPECT_EQ(settings.Number(NumberSetting::NominalHz), pick == 1 ? 60.0 : 50.0);
           EXPECT_EQ(wiring.NominalHz(), pick == 1 ? 60.0 : 50.0);
           pickIn(ids::kCtSecondaryList, pick);
           EXPECT_EQ(settings.Number(NumberSetting::CtSecondaryA), pick == 1 ? 1.0 : 5.0);
           EXPECT_EQ(wiring.CtSecondaryA(), pick == 1 ? 1.0 : 5.0);
         }
         // "生成报告…": the next two steps answer its dialogs from within their loops; the
         // browser and any message are caught.
         kt::ui::win32::RegistrySettings().SetText(kt::workbench::kReportSiteKey, "旧站");
         workbench.ReportFront().open = [&](const std::string& path) { reportOpened = path; };
         workbench.ReportFront().tell = [&](const std::string& text) { reportTold = text; };
         Click(wiring.Item(ids::kMakeReportButton));
         EXPECT_EQ(reportTold, "");
         EXPECT_EQ(kt::ui::win32::RegistrySettings().Text(kt::workbench::kReportSiteKey), "二号站");
         // Moved to a monitor of another resolution: the window takes the frame Windows
         // suggests.
         RECT suggested{};
         GetWindowRect(workbench.Handle(), &suggested);
         suggested.right += 40;
         suggested.bottom += 30;
         const UINT dpi = kt::ui::win32::WindowDpi(workbench.Handle());
         SendMessageW(workbench.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                      reinterpret_cast<LPARAM>(&suggested));
         // Closing hides and keeps the frame it was shown at for the next start, title bar
         // included; the window is still there.
         RECT frame{};
         GetWindowRect(workbench.Handle(), &frame);
         EXPECT_TRUE(EqualRect(&frame, &suggested));
         SendMessageW(workbench.Handle(), WM_CLOSE, 0, 0);
         const auto kept = kt::ui::win32::RegistrySettings().Frame();
         ASSERT_TRUE(kept.has_value());
         EXPECT_EQ(kept, workbench.Model().Frame().LastFrame());
         EXPECT_EQ(kept->width, frame.right - frame.left);
         EXPECT_EQ(kept->height, frame.bottom - frame.top);
         EXPECT_FALSE(workbench.Visible());
         EXPECT_NE(workbench.Handle(), nullptr);
         Click(GetDlgItem(main(), IDCANCEL));
       }},
      {"the report's title dialog", [&] { return FindWindowW(L"#32770", L"报告抬头") != nullptr; },
       [&] {
         HWND title = FindWindowW(L"#32770", L"报告抬头");
         wchar_t site[64] = {};
         GetDlgItemTextW(title, ids::kReportSiteEdit, site, 64);
         EXPECT_EQ(Utf8(site), "旧站");
         SetDlgItemTextW(title, ids::kReportSiteEdit, L"二号站");
         PostMessageW(title, WM_COMMAND, kt::ui::IDOK, 0);
       }},
      {"the save dialog of 生成报告…",
       [&] { return FindWindowW(L"#32770", L"生成报告") != nullptr; },
       [&] { SaveAs(L"生成报告", report); }},
  };
  for (auto& step : steps) step.limitMs = kStepLimitMs;
  {
    kt::testing::Win32StepUser user(std::move(steps),
                                    [&] { PostMessageW(main(), WM_COMMAND, IDCANCEL, 0); });
    dialog.m_portNumber = 1;
    dialog.DoModal();
    EXPECT_EQ(user.Failure(), "");
    EXPECT_TRUE(user.Done());
  }
  host.DestroyWindow(dialog);

  // The main dialog's end ended the window it owned.
  EXPECT_EQ(workbench.Handle(), nullptr);

  // The recording: the earlier file's bytes, then a row per block while recording, CR LF.
  const std::string recorded = kt::test::ReadBytes(csv);
  ASSERT_GE(recorded.size(), earlier.size());
  EXPECT_EQ(recorded.substr(0, earlier.size()), earlier);
  EXPECT_GE(blocksWhileRecording, kBlocksToRecord);
  EXPECT_EQ(Count(recorded, "\r\n"), 2 + blocksWhileRecording);
  // The saved log: its column heads and the configuration request.
  const std::string saved = kt::test::ReadBytes(logFile);
  EXPECT_NE(saved.find("时间\t方向\t地址\t功能\t内容\t报文"), std::string::npos);
  EXPECT_NE(saved.find("读 0x0300 ×19"), std::string::npos);
  // The report: opened where the save dialog said, naming the site typed and B's reversed CT.
  EXPECT_EQ(reportOpened, Utf8(report.wstring()));
  const std::string page = kt::test::ReadBytes(report);
  EXPECT_NE(page.find("二号站"), std::string::npos);
  EXPECT_NE(page.find("B相电流互感器接反"), std::string::npos);
  std::filesystem::remove_all(folder);
}

}  // namespace

namespace {

// A request for register `n` of slave 1, as the monitor sends it.
std::vector<uint8_t> RequestFor(int n) {
  kt::modbus::RequestBuffer frame{};
  const int16_t length = kt::modbus::BuildReadRequest(frame, 1, static_cast<uint16_t>(n), 1);
  return {frame.begin(), frame.begin() + length};
}

// How many rows of `height` the area waiting to be drawn in `window` covers, rounded up.
int UpdatedRows(HWND window, int height) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(window, region, FALSE);
  std::vector<char> data(GetRegionData(region, 0, nullptr));
  long area = 0;
  RECT client{};
  GetClientRect(window, &client);
  if (!data.empty() && GetRegionData(region, static_cast<DWORD>(data.size()),
                                     reinterpret_cast<RGNDATA*>(data.data())) != 0) {
    const auto* header = reinterpret_cast<const RGNDATAHEADER*>(data.data());
    const auto* rects = reinterpret_cast<const RECT*>(data.data() + header->dwSize);
    for (DWORD i = 0; i < header->nCount; ++i) {
      area += static_cast<long>(rects[i].right - rects[i].left) * (rects[i].bottom - rects[i].top);
    }
  }
  DeleteObject(region);
  const long rowArea = static_cast<long>(client.right) * height;
  return rowArea > 0 ? static_cast<int>((area + rowArea - 1) / rowArea) : 0;
}

// The registers of the requests whose lines `text` holds, in order.
std::vector<int> RegistersIn(const std::string& text) {
  std::vector<int> registers;
  for (size_t at = text.find("读 0x"); at != std::string::npos; at = text.find("读 0x", at + 1)) {
    registers.push_back(std::stoi(text.substr(at + 6, 4), nullptr, 16));
  }
  return registers;
}

// A key pressed in `window` with Shift and Ctrl held or not, as the thread's keyboard state
// tells the window.
void Key(HWND window, WORD key, bool shift = false, bool control = false) {
  BYTE state[256] = {};
  state[VK_SHIFT] = shift ? 0x80 : 0;
  state[VK_CONTROL] = control ? 0x80 : 0;
  SetKeyboardState(state);
  SendMessageW(window, WM_KEYDOWN, key, 0);
  BYTE none[256] = {};
  SetKeyboardState(none);
}

// The log at its 10,000 lines: a line picked with the mouse keeps its selection as the oldest go
// and the rows move up without being drawn again; the keys and the right-click menu then choose
// and copy among the lines still kept.
TEST(Win32WorkbenchLog, AFullLogMovesItsRowsUpKeepingTheSelectionOnItsLines) {
  kt::ui::win32::WorkbenchWindow workbench(kt::workbench::SystemRecordFiles());
  workbench.ShowBeside();  // no main dialog: placed on its own screen
  auto& traffic = workbench.Traffic();
  constexpr int kKept = static_cast<int>(kt::workbench::TrafficLog::kCapacity);
  for (int n = 0; n < kKept; ++n) workbench.Log().OnFrameSent(RequestFor(n));
  traffic.Flush();
  ASSERT_EQ(traffic.Count(), kKept);
  HWND list = traffic.List();
  const int picked = kKept - 10;
  RECT pickedRow{};
  ListView_GetItemRect(list, picked, &pickedRow, LVIR_BOUNDS);
  const LPARAM at = MAKELPARAM(pickedRow.left + 20, (pickedRow.top + pickedRow.bottom) / 2);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(RegistersIn(traffic.SelectedText()), (std::vector<int>{picked}));
  UpdateWindow(list);

  // Three more: the three oldest go, every row shows the line three further on.
  constexpr int kMore = 3;
  for (int n = kKept; n < kKept + kMore; ++n) workbench.Log().OnFrameSent(RequestFor(n));
  traffic.Flush();
  EXPECT_EQ(traffic.Count(), kKept);
  wchar_t cell[64] = {};
  ListView_GetItemText(list, 0, 4, cell, 64);
  char expected[64];
  std::snprintf(expected, sizeof expected, "读 0x%04X ×1", kMore);
  EXPECT_EQ(Utf8(cell), expected);
  // The selection stayed on its line, now three rows higher, and moved up with the rows: only
  // the three new ones wait to be drawn (and the row partly in view at the bottom).
  EXPECT_EQ(RegistersIn(traffic.SelectedText()), (std::vector<int>{picked}));
  RECT row{};
  ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
  EXPECT_GT(UpdatedRows(list, row.bottom - row.top), 0);
  EXPECT_LE(UpdatedRows(list, row.bottom - row.top), kMore + 1);

  // Shift+PgDn: a page of the rows in view on, short of the newest line.
  Key(list, VK_NEXT, true);
  EXPECT_EQ(RegistersIn(traffic.SelectedText()).back(),
            std::min(picked + ListView_GetCountPerPage(list), kKept + kMore - 1));
  // Ctrl+Home: the oldest line kept, scrolled into view; Shift+Down twice from there, and
  // "复制" from the right-click menu.
  Key(list, VK_HOME, false, true);
  EXPECT_EQ(ListView_GetTopIndex(list), 0);
  Key(list, VK_DOWN, true);
  Key(list, VK_DOWN, true);
  EXPECT_EQ(ChooseFromMenu(list, WM_RBUTTONUP, 0, MAKELPARAM(20, 40), 0), kCopyMenu);
  EXPECT_EQ(RegistersIn(kt::ui::win32::ClipboardText(list)),
            (std::vector<int>{kMore, kMore + 1, kMore + 2}));
  Shoot(workbench.Handle(), "log-selected");
  // "全选" from the keyboard's menu key.
  ChooseFromMenu(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1, 1);
  EXPECT_EQ(RegistersIn(traffic.SelectedText()).size(), static_cast<size_t>(kKept));
  // Slave address 2 typed: none of slave 1's lines; Down in the edit steps to "地址 1".
  HWND address = traffic.Item(ids::kAddressFilterEdit);
  SetWindowTextW(address, L"2");
  EXPECT_EQ(traffic.Count(), 0);
  Key(address, VK_DOWN);
  EXPECT_EQ(TextOf(address), "地址 1");
  EXPECT_EQ(traffic.Count(), kKept);
}

}  // namespace
