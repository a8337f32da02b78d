// Fills the check table from each block, in place, and hands the block's phasors to the diagram.
#include "ui/win32/workbench/WiringPanel.h"

#include <array>
#include <cstdio>

#include "ui/win32/workbench/PhasorPainter.h"
#include "ui/win32/workbench/RegistrySettings.h"
#include "ui/win32/workbench/WorkbenchControlIds.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
constexpr int kMargin = 6;
constexpr int kRowHeight = 24;
constexpr int kVerdictColumn = 1;
constexpr int kNoteLines = 4;

}  // namespace

WiringPanel::WiringPanel()
    : phasors_(std::make_unique<PaintedView>(
          [this](HDC dc, const RECT& area) { PaintPhasors(dc, area, Diagram(), font_); })) {}

HWND WiringPanel::Table() const {
  return Item(ids::kWiringTable);
}

void WiringPanel::Populate() {
  Add(WC_STATICW, workbench::kNominalFrequencyLabel, SS_LEFT, ids::kFrequencyLabel);
  HWND frequency =
      Add(WC_COMBOBOXW, "", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, ids::kFrequencyList);
  for (const double hz : workbench::kNominalFrequencies) {
    char text[16];
    std::snprintf(text, sizeof text, "%g Hz", hz);
    SendMessageW(frequency, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  }
  // The frequency chosen last time, else the first.
  SendMessageW(frequency, CB_SETCURSEL, 0, 0);
  if (const auto hz = RememberedNominalHz()) {
    for (size_t i = 0; i < workbench::kNominalFrequencies.size(); ++i) {
      if (workbench::kNominalFrequencies[i] == *hz) SendMessageW(frequency, CB_SETCURSEL, i, 0);
    }
  }
  // A message too long for its column shows whole in a tip under the pointer.
  HWND table = Add(WC_LISTVIEWW, "", WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                   ids::kWiringTable);
  ListView_SetExtendedListViewStyle(table,
                                    LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  constexpr std::array<int, workbench::kWiringColumns.size()> kWidths = {120, 48, 420};
  for (size_t c = 0; c < workbench::kWiringColumns.size(); ++c) {
    std::wstring head = Wide(workbench::kWiringColumns[c]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = head.data();
    column.cx = kWidths[c];
    column.iSubItem = static_cast<int>(c);
    SendMessageW(table, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  phasors_->Create(Handle(), font_);
  SetWindowLongPtrW(phasors_->Handle(), GWLP_ID, ids::kPhasorDiagram);
  ShowWindow(phasors_->Handle(), SW_SHOW);
  Add(WC_STATICW, workbench::kPhasorNote, SS_LEFT | SS_NOPREFIX, ids::kPhasorNote);
}

void WiringPanel::Layout(int width, int height) {
  const int line = LineHeight();
  const int tableWidth = (width - 3 * kMargin) * 3 / 5;
  const int sideLeft = 2 * kMargin + tableWidth;
  const int sideWidth = width - sideLeft - kMargin;
  const int labelWidth = TextWidth(workbench::kNominalFrequencyLabel) + 4;
  Place(ids::kFrequencyLabel, kMargin, kMargin + 4, labelWidth, line);
  Place(ids::kFrequencyList, kMargin + labelWidth + kMargin, kMargin, 80, 120);
  const int tableTop = kMargin + kRowHeight + kMargin;
  Place(ids::kWiringTable, kMargin, tableTop, tableWidth, height - tableTop - kMargin);
  const int noteHeight = kNoteLines * line;
  Place(ids::kPhasorNote, sideLeft, height - kMargin - noteHeight, sideWidth, noteHeight);
  Place(ids::kPhasorDiagram, sideLeft, kMargin, sideWidth, height - 3 * kMargin - noteHeight);
  // The message column takes what the other two leave.
  HWND table = Table();
  RECT inside{};
  GetClientRect(table, &inside);
  const int rest =
      inside.right - ListView_GetColumnWidth(table, 0) - ListView_GetColumnWidth(table, 1);
  if (rest > 40) ListView_SetColumnWidth(table, 2, rest);
}

void WiringPanel::OnCommand(int id, int code) {
  if (id != ids::kFrequencyList || code != CBN_SELCHANGE) return;
  RememberNominalHz(NominalHz());
  if (hasBlock_ && IsWindowVisible(Handle()) != 0) ShowLastBlock();
}

double WiringPanel::NominalHz() const {
  const LRESULT index = SendMessageW(Item(ids::kFrequencyList), CB_GETCURSEL, 0, 0);
  return index >= 0 && static_cast<size_t>(index) < workbench::kNominalFrequencies.size()
             ? workbench::kNominalFrequencies[static_cast<size_t>(index)]
             : workbench::kDefaultNominalHz;
}

void WiringPanel::SetNominalHz(double hz) {
  for (size_t i = 0; i < workbench::kNominalFrequencies.size(); ++i) {
    if (workbench::kNominalFrequencies[i] == hz) {
      SendMessageW(Item(ids::kFrequencyList), CB_SETCURSEL, i, 0);
    }
  }
  if (hasBlock_) ShowLastBlock();
}

void WiringPanel::AddBlock(const measure::MeasuredBlock& block) {
  last_ = block;
  hasBlock_ = true;
  if (IsWindowVisible(Handle()) != 0) ShowLastBlock();
}

void WiringPanel::OnShown() {
  if (hasBlock_) ShowLastBlock();
}

void WiringPanel::ShowLastBlock() {
  rows_ = workbench::CheckWiring(last_, workbench::kWiringThresholds, NominalHz());
  HWND table = Table();
  const int count = static_cast<int>(rows_.size());
  // Rows are filled in place: an unchanged text is not set again, so a steady load does not
  // repaint the table.
  while (ListView_GetItemCount(table) > count)
    ListView_DeleteItem(table, ListView_GetItemCount(table) - 1);
  for (int r = ListView_GetItemCount(table); r < count; ++r) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(table, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  for (int r = 0; r < count; ++r) {
    const workbench::CheckRow& row = rows_[static_cast<size_t>(r)];
    SetCell(r, 0, row.name);
    SetCell(r, kVerdictColumn, workbench::VerdictText(row.verdict));
    SetCell(r, 2, row.message);
  }
  const workbench::PhasorDiagram diagram = workbench::MakePhasorDiagram(last_);
  const bool first = phasorsDrawn_ == false;
  if (first || !(diagram == diagram_)) {
    diagram_ = diagram;
    phasorsDrawn_ = true;
    InvalidateRect(phasors_->Handle(), nullptr, FALSE);  // a steady load paints nothing
  }
}

std::string WiringPanel::CellText(int row, int column) const {
  wchar_t text[1024] = {};
  ListView_GetItemText(Table(), row, column, text, static_cast<int>(std::size(text)));
  return Utf8(text);
}

void WiringPanel::SetCell(int row, int column, const std::string& text) {
  if (CellText(row, column) == text) return;
  std::wstring wide = Wide(text);
  ListView_SetItemText(Table(), row, column, wide.data());
}

LRESULT WiringPanel::OnNotify(NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(ids::kWiringTable) || header.code != NM_CUSTOMDRAW) {
    return 0;
  }
  auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
    case CDDS_ITEMPREPAINT:
      // Each row, then each of its cells (the same flag asks for both).
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_SUBITEM | CDDS_ITEMPREPAINT: {
      const auto row = static_cast<size_t>(draw.nmcd.dwItemSpec);
      draw.clrText = draw.iSubItem == kVerdictColumn && row < rows_.size()
                         ? ColourRef(workbench::VerdictColour(rows_[row].verdict))
                         : GetSysColor(COLOR_WINDOWTEXT);
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace kt::ui::win32
