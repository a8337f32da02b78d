// The page "总线" of the Windows workbench played as on every front end (BusTabScenario.h): keys
// as the program's message loop delivers them, the rows read back from the list view; stopped,
// the shown page keeps its timer for the grey.
#include <gtest/gtest.h>

#include "BusPageOnLine.h"
#include "BusTabScenario.h"
#include "platform/win32/WideText.h"
#include "win32/workbench/WorkbenchControlIds.h"

namespace kt::testing {
namespace {

namespace ids = ui::win32::workbench_ids;
constexpr UINT_PTR kTickTimer = 1;  // the panel's

class Win32BusPanelUser : public BusTabUser {
 public:
  Win32BusPanelUser(ui::win32::WorkbenchWindow& window, BusOnLine& line)
      : window_(window), panel_(*window.Bus()), line_(line) {}

  // A key as the program's loop hands it on: the window's dialog keys first.
  void AddWithEnter(const std::string& text) override {
    HWND edit = Item(ids::kBusAddressEdit);
    SetWindowTextW(edit, platform::win32::WideFromUtf8(text).c_str());
    SetFocus(edit);
    for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) {
      MSG msg{edit, message, VK_RETURN, 0, 0, {}};
      if (IsDialogMessageW(window_.Handle(), &msg) == 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    for (MSG msg{}; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != 0;) DispatchMessageW(&msg);
  }
  void ClickReport() override { Click(ids::kBusMakeReportButton); }
  void ClickStartStop() override { Click(ids::kBusStartStopButton); }
  std::string StartStopText() override { return TextOf(Item(ids::kBusStartStopButton)); }
  void Run(int ms) override {
    for (int t = 0; t < ms; t += 10) {
      line_.h.RunFor(10);
      SendMessageW(panel_.Handle(), WM_TIMER, kTickTimer, 0);
    }
  }
  int Rows() override { return ListView_GetItemCount(Item(ids::kBusList)); }
  std::string Cell(int row, int column) override { return panel_.CellText(row, column); }
  // The colour the page gives the row's text as the list view draws it.
  Rgb TextColour(int row, int /*column*/) override {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = Item(ids::kBusList);
    draw.nmcd.hdr.idFrom = ids::kBusList;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    SendMessageW(panel_.Handle(), WM_NOTIFY, ids::kBusList, reinterpret_cast<LPARAM>(&draw));
    return {GetRValue(draw.clrText), GetGValue(draw.clrText), GetBValue(draw.clrText)};
  }
  void Select(int row) override {
    ListView_SetItemState(Item(ids::kBusList), row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  }
  std::string CheckTitle() override { return TextOf(Item(ids::kBusCheckTitle)); }
  int CheckRows() override { return ListView_GetItemCount(Item(ids::kBusCheckList)); }

 private:
  HWND Item(int id) { return GetDlgItem(panel_.Handle(), id); }
  void Click(int id) {
    SendMessageW(panel_.Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
  }
  static std::string TextOf(HWND w) {
    wchar_t text[128] = {};
    GetWindowTextW(w, text, 128);
    return platform::win32::Utf8FromWide(text);
  }

  ui::win32::WorkbenchWindow& window_;
  ui::win32::BusPanel& panel_;
  BusOnLine& line_;
};

TEST(Win32BusPanel, PlaysAsOnEveryFrontEndAndKeepsItsTimerForTheGrey) {
  BusPageOnLine page;
  auto& window = page.window;
  ASSERT_NE(IsWindowVisible(window.Bus()->Handle()), 0);
  Win32BusPanelUser user(window, page.line);
  window.ReportFront().tell = [&](const std::string& text) { user.told.push_back(text); };
  PlayBusTab(user);
  EXPECT_NE(KillTimer(window.Bus()->Handle(), kTickTimer), 0);
}

}  // namespace
}  // namespace kt::testing
