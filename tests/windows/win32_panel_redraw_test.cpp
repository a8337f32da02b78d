// What the workbench pages draw again as time passes: the page "总线" leaves an unchanged table
// alone and redraws a row whose colour turns with its texts unchanged; the page "接线检查" shows
// each block's rows and redraws only those that changed; and the pages' text measure (kept in a
// DC of its own) gives what the window's DC gives, in either font.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "../workbench/CheckRows.h"
#include "BusPageOnLine.h"
#include "MeasuredBlocks.h"
#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/WiringPanel.h"
#include "win32/workbench/WorkbenchControlIds.h"

namespace kt::testing {
namespace {

namespace ids = ui::win32::workbench_ids;
constexpr UINT_PTR kTickTimer = 1;  // the bus page's

bool Invalid(HWND window, RECT* where = nullptr) {
  RECT r{};
  const bool any = GetUpdateRect(window, &r, FALSE) != 0;
  if (where != nullptr) *where = r;
  return any;
}

TEST(Win32PanelRedraw, BusTableIsDrawnAgainOnlyWhereARowTurned) {
  BusPageOnLine on;
  auto& line = on.line;
  HWND page = on.Page();
  HWND list = GetDlgItem(page, ids::kBusList);
  HWND check = GetDlgItem(page, ids::kBusCheckList);
  auto run = [&](int ms) {
    for (int t = 0; t < ms; t += 10) {
      line.h.RunFor(10);
      SendMessageW(page, WM_TIMER, kTickTimer, 0);
    }
  };
  SetWindowTextW(GetDlgItem(page, ids::kBusAddressEdit), L"3,17");
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(ids::kBusAddButton, BN_CLICKED), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(ids::kBusStartStopButton, BN_CLICKED), 0);
  run(3000);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(ids::kBusStartStopButton, BN_CLICKED), 0);
  run(500);  // the last exchange settled, the table drawn with the last values
  UpdateWindow(list);
  UpdateWindow(check);
  ASSERT_FALSE(Invalid(list));

  // Redrawn every 250 ms with nothing changed: nothing to paint.
  run(1000);
  EXPECT_FALSE(Invalid(list));
  EXPECT_FALSE(Invalid(check));

  // The values go stale (grey) with their texts as they were: both rows, and only the rows.
  run(4000);
  RECT dirty{};
  ASSERT_TRUE(Invalid(list, &dirty));
  RECT rows{};
  ListView_GetItemRect(list, 0, &rows, LVIR_BOUNDS);
  RECT last{};
  ListView_GetItemRect(list, 1, &last, LVIR_BOUNDS);
  EXPECT_LE(dirty.bottom, last.bottom);
  EXPECT_GE(dirty.top, rows.top);
}

// A healthy site, again, with unequal currents (some rows changed), and with phase B's CT reversed
// (a row more): the table shows the check's rows each time, and only the rows from the first
// changed to the last wait to be drawn; a name's first letter typed picks its row.
TEST(Win32PanelRedraw, WiringTableShowsEachBlockRedrawingTheRowsChanged) {
  ui::win32::WorkbenchWindow window{workbench::SystemRecordFiles()};
  window.ShowBeside();
  window.ShowTab(workbench::WorkbenchTab::Wiring);
  ui::win32::WiringPanel& page = window.Wiring();
  HWND table = page.Table();
  Site unequal;
  unequal.currentUnbalance = 0.3;
  Fault reversedB;
  reversedB.reversed[1] = true;
  std::vector<std::string> before;
  for (const auto& [site, fault] :
       {std::pair{Site{}, Fault{}}, {Site{}, Fault{}}, {unequal, Fault{}}, {Site{}, reversedB}}) {
    UpdateWindow(table);
    window.Model().OnBlockDecoded(
        SiteBlock(site, fault, values::WiringMode::ThreePhaseFourWireUnbalanced));
    std::vector<std::string> shown;
    for (int r = 0; r < ListView_GetItemCount(table); ++r)
      shown.push_back(page.CellText(r, 0) + " " + page.CellText(r, 1) + " " + page.CellText(r, 2));
    EXPECT_EQ(std::accumulate(
                  shown.begin(), shown.end(), std::string(),
                  [](const std::string& all, const std::string& row) { return all + row + "\n"; }),
              workbench::testing::RowsText(page.Rows()));
    RECT dirty{};
    const bool drawn = Invalid(table, &dirty);
    const auto first = std::mismatch(shown.begin(), shown.end(), before.begin(), before.end());
    const auto last = std::mismatch(shown.rbegin(), shown.rend(), before.rbegin(), before.rend());
    EXPECT_EQ(drawn, first.first != shown.end());
    if (drawn && shown.size() == before.size()) {
      RECT top{}, bottom{};
      ListView_GetItemRect(table, first.first - shown.begin(), &top, LVIR_BOUNDS);
      ListView_GetItemRect(table, shown.rend() - last.first - 1, &bottom, LVIR_BOUNDS);
      EXPECT_EQ(dirty.top, top.top);
      EXPECT_EQ(dirty.bottom, bottom.bottom);
    }
    before = shown;
  }
  const auto named = std::find_if(before.begin(), before.end(),
                                  [](const std::string& row) { return row.starts_with("频率 "); });
  SendMessageW(table, WM_CHAR, L'频', 1);  // typed once
  EXPECT_EQ(ListView_GetNextItem(table, -1, LVNI_SELECTED), named - before.begin());
}

// A page that only measures.
class MeasuringPanel : public ui::win32::ChildPanel {
 public:
  using ChildPanel::LineHeight;
  using ChildPanel::TextWidth;
  void Layout(int /*width*/, int /*height*/) override {}

 protected:
  void Populate() override {}
};

HFONT FontOf(int pixels) {
  LOGFONTW f{};
  f.lfHeight = -pixels;
  f.lfCharSet = DEFAULT_CHARSET;
  lstrcpyW(f.lfFaceName, L"宋体");
  return CreateFontIndirectW(&f);
}

// Width and line height of `text` in `font` as a window's own DC gives them.
std::pair<int, int> InWindowDc(HWND window, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TEXTMETRICW m{};
  GetTextMetricsW(dc, &m);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return {size.cx, m.tmHeight + m.tmExternalLeading};
}

TEST(Win32PanelRedraw, TextsAreMeasuredInThePagesFontAsInTheWindowsDc) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  HFONT small = FontOf(12);
  HFONT large = FontOf(21);
  {
    MeasuringPanel panel;
    ASSERT_TRUE(panel.Create(parent, small));
    for (const auto& [font, rescaled] : {std::pair{small, false}, std::pair{large, true}}) {
      if (rescaled) panel.Rescale(font);
      for (const std::string text : {"i", "采样 12:00:00.000", "4 096.5 kvarh"}) {
        const auto [width, height] = InWindowDc(parent, font, ui::win32::Wide(text));
        EXPECT_EQ(panel.TextWidth(text), width) << text << (rescaled ? " rescaled" : "");
        EXPECT_EQ(panel.LineHeight(), height);
      }
    }
    EXPECT_GT(panel.TextWidth("采样"), InWindowDc(parent, small, L"采样").first);
  }
  DeleteObject(small);
  DeleteObject(large);
  DestroyWindow(parent);
}

}  // namespace
}  // namespace kt::testing
