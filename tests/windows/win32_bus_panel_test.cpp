// The page "总线" of the Windows workbench: addresses typed and added through its controls, the
// poller started with its button and turned by its timer, and the rows read back from the list
// view, a silent meter's in red.
#include <gtest/gtest.h>

#include "../bus/BusOnLine.h"
#include "win32/workbench/BusPanel.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "win32/workbench/WorkbenchWindow.h"
#include "workbench/RecordFile.h"

namespace kt::testing {
namespace {

namespace ids = ui::win32::workbench_ids;

void Click(HWND page, int id) {
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

TEST(Win32BusPanel, ListsTheMetersAddedWithTheirValues) {
  // Meter 9 is listed but not on the line.
  BusOnLine line{{MeterAt(3, 350, 60, 20), MeterAt(17, 100, 40, 120)}};
  ui::win32::WorkbenchWindow window(workbench::SystemRecordFiles());
  window.AddBusPanel(*line.scheduler, line.h.clock);
  window.Attach(*line.h.dialog, [] { return HWND{}; });
  HWND tabs = GetDlgItem(window.Handle(), ids::kTabs);
  ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 5);
  window.ShowTab(static_cast<workbench::WorkbenchTab>(4));
  ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);

  ui::win32::BusPanel& panel = *window.Bus();
  HWND page = panel.Handle();
  ASSERT_NE(IsWindowVisible(page), 0);
  SetWindowTextW(GetDlgItem(page, ids::kBusAddressEdit), L"3,9,17");
  Click(page, ids::kBusAddButton);
  Click(page, ids::kBusStartStopButton);
  for (int t = 0; t < 6000; t += 10) {
    line.h.RunFor(10);
    SendMessageW(page, WM_TIMER, 1, 0);  // the panel's tick timer
  }
  panel.Refresh();

  HWND list = GetDlgItem(page, ids::kBusList);
  ASSERT_EQ(ListView_GetItemCount(list), 3);
  EXPECT_EQ(panel.CellText(0, 0), "3");
  EXPECT_EQ(panel.CellText(1, 0), "9");
  EXPECT_EQ(panel.CellText(2, 0), "17");
  EXPECT_EQ(panel.CellText(0, 2), "正常");
  EXPECT_EQ(panel.CellText(1, 2), "无应答");
  // 220 V secondary times meter 17's PT of 100: 22 kV on phase A.
  EXPECT_NEAR(std::stod(panel.CellText(2, 3)), 22000.0, 220.0);

  // The silent meter's row is drawn red, the others in the window's text colour.
  for (const auto& [row, colour] :
       {std::pair{1, RGB(200, 0, 0)}, std::pair{0, GetSysColor(COLOR_WINDOWTEXT)}}) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = list;
    draw.nmcd.hdr.idFrom = ids::kBusList;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    SendMessageW(page, WM_NOTIFY, ids::kBusList, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(draw.clrText, colour) << row;
  }
}

}  // namespace
}  // namespace kt::testing
