// The page "总线" of the Windows workbench: addresses and a name typed and added with Enter as the
// program's message loop delivers it, the poller started with its button and turned by its
// timer, the rows read back from the list view (a silent meter's red, grey a while after
// "停止", the timer still running for that), the selected row's wiring check, and "生成报告…"
// through the window's report steps.
#include <gtest/gtest.h>

#include "../bus/BusOnLine.h"
#include "win32/workbench/BusPanel.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "win32/workbench/WorkbenchWindow.h"
#include "workbench/RecordFile.h"

namespace kt::testing {
namespace {

namespace ids = ui::win32::workbench_ids;
constexpr UINT_PTR kTickTimer = 1;  // the panel's

void Click(HWND page, int id) {
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

// A key as the program's loop hands it on: the window's dialog keys first.
void Key(HWND window, HWND to, WPARAM key) {
  SetFocus(to);
  for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) {
    MSG msg{to, message, key, 0, 0, {}};
    if (IsDialogMessageW(window, &msg) == 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  for (MSG msg{}; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != 0;) DispatchMessageW(&msg);
}

COLORREF RowColour(HWND page, int row) {
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr.hwndFrom = GetDlgItem(page, ids::kBusList);
  draw.nmcd.hdr.idFrom = ids::kBusList;
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
  SendMessageW(page, WM_NOTIFY, ids::kBusList, reinterpret_cast<LPARAM>(&draw));
  return draw.clrText;
}

TEST(Win32BusPanel, ListsTheMetersAddedWithEnterAndGreysThemAfterStop) {
  // Meter 9 is listed but not on the line.
  BusOnLine line{{MeterAt(3, 350, 60, 20), MeterAt(17, 100, 40, 120)}};
  ui::win32::WorkbenchWindow window(workbench::SystemRecordFiles());
  window.AddBusPanel(*line.scheduler, line.h.clock);
  window.Attach(*line.h.dialog, [] { return HWND{}; });
  window.ShowTab(static_cast<workbench::WorkbenchTab>(4));
  ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
  std::vector<std::string> told;
  window.ReportFront().tell = [&](const std::string& text) { told.push_back(text); };
  ui::win32::BusPanel& panel = *window.Bus();
  HWND page = panel.Handle();
  ASSERT_NE(IsWindowVisible(page), 0);
  auto run = [&](int ms) {
    for (int t = 0; t < ms; t += 10) {
      line.h.RunFor(10);
      SendMessageW(page, WM_TIMER, kTickTimer, 0);
    }
  };

  HWND edit = GetDlgItem(page, ids::kBusAddressEdit);
  SetWindowTextW(edit, L"3,9,17=进线柜");
  Key(window.Handle(), edit, VK_RETURN);
  Click(page, ids::kBusMakeReportButton);  // no data yet
  EXPECT_EQ(told, std::vector<std::string>{bus::kBusNoDataForReport});
  Click(page, ids::kBusStartStopButton);
  run(6000);

  ASSERT_EQ(ListView_GetItemCount(GetDlgItem(page, ids::kBusList)), 3);
  EXPECT_EQ(panel.CellText(2, 0) + panel.CellText(2, 1), "17进线柜");
  EXPECT_EQ(panel.CellText(1, 2), "无应答");
  EXPECT_EQ(RowColour(page, 1), RGB(200, 0, 0));

  // The selected meter's wiring check below the list.
  ListView_SetItemState(GetDlgItem(page, ids::kBusList), 2, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  wchar_t title[128] = {};
  GetWindowTextW(GetDlgItem(page, ids::kBusCheckTitle), title, 128);
  EXPECT_STREQ(title, L"接线检查：地址 17（进线柜）");
  EXPECT_GT(ListView_GetItemCount(GetDlgItem(page, ids::kBusCheckList)), 0);

  // Stopped, the shown page keeps its timer and its values turn grey.
  Click(page, ids::kBusStartStopButton);
  run(4600);
  EXPECT_EQ(RowColour(page, 0), RGB(128, 128, 128));
  EXPECT_NE(KillTimer(page, kTickTimer), 0);
}

}  // namespace
}  // namespace kt::testing
