// Gives the check table the texts of each block, marking only the cells whose texts changed, and
// hands the block's phasors to the diagram.
#include "win32/workbench/WiringPanel.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

#include "win32/workbench/CopyMenu.h"
#include "win32/workbench/PhasorPainter.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
// Sizes at 96 dpi, scaled to the window's (ChildPanel::Px).
constexpr int kMarginAt96 = 6;
constexpr int kRowHeightAt96 = 24;
constexpr int kVerdictColumn = 1;
constexpr int kNoteLines = 4;
constexpr int kChoiceWidthAt96 = 80;
constexpr int kMessageLines = 4;

}  // namespace

WiringPanel::WiringPanel(workbench::WiringModel& wiring)
    : wiring_(wiring), phasors_(std::make_unique<PaintedView>([this](HDC dc, const RECT& area) {
        PaintPhasors(dc, area, Diagram(), font_);
        if (Diagram() != nullptr) painted_ = *Diagram();
      })) {}

HWND WiringPanel::Table() const {
  return Item(ids::kWiringTable);
}

void WiringPanel::AddChoice(const workbench::WiringChoice& choice, int labelId, int listId,
                            std::size_t chosen) {
  Add(WC_STATICW, choice.label, SS_LEFT, labelId);
  HWND list = Add(WC_COMBOBOXW, "", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, listId);
  for (const workbench::WiringChoiceOption& option : choice.options)
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(option.text).c_str()));
  SendMessageW(list, CB_SETCURSEL, chosen, 0);
}

void WiringPanel::Choose(int listId, std::size_t index) {
  SendMessageW(Item(listId), CB_SETCURSEL, index, 0);
  OnCommand(listId, CBN_SELCHANGE);
}

void WiringPanel::Populate() {
  AddChoice(workbench::kNominalFrequencyChoice, ids::kFrequencyLabel, ids::kFrequencyList,
            wiring_.NominalHzIndex());
  AddChoice(workbench::kCtSecondaryChoice, ids::kCtSecondaryLabel, ids::kCtSecondaryList,
            wiring_.CtSecondaryIndex());
  // A message too long for its column shows whole in a tip under the pointer. The table asks
  // for the texts it draws (RowTexts).
  HWND table =
      Add(WC_LISTVIEWW, "", WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
          ids::kWiringTable);
  ListView_SetExtendedListViewStyle(table,
                                    LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  constexpr std::array<int, workbench::kWiringColumns.size()> kWidths = {120, 48, 420};
  for (size_t c = 0; c < workbench::kWiringColumns.size(); ++c) {
    std::wstring head = Wide(workbench::kWiringColumns[c]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = head.data();
    column.cx = Px(kWidths[c]);
    column.iSubItem = static_cast<int>(c);
    SendMessageW(table, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  UseCopyMenu(Add(WC_EDITW, "", WS_BORDER | ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL,
                  ids::kWiringDetail));
  phasors_->Create(Handle(), font_);
  SetWindowLongPtrW(phasors_->Handle(), GWLP_ID, ids::kPhasorDiagram);
  ShowWindow(phasors_->Handle(), SW_SHOW);
  Add(WC_STATICW, workbench::kPhasorNote, SS_LEFT | SS_NOPREFIX, ids::kPhasorNote);
  // Hidden until the window is attached to a main dialog.
  HWND report = Add(WC_BUTTONW, workbench::kMakeReportText, WS_TABSTOP | BS_PUSHBUTTON,
                    ids::kMakeReportButton);
  ShowWindow(report, make_ ? SW_SHOW : SW_HIDE);
}

void WiringPanel::SetMakeReport(std::function<void()> make) {
  make_ = std::move(make);
  if (HWND button = Item(ids::kMakeReportButton); button != nullptr)
    ShowWindow(button, make_ ? SW_SHOW : SW_HIDE);
}

void WiringPanel::Layout(int width, int height) {
  const int kMargin = Px(kMarginAt96);
  const int kRowHeight = Px(kRowHeightAt96);
  const int kChoiceWidth = Px(kChoiceWidthAt96);
  const int line = LineHeight();
  const int tableWidth = (width - 3 * kMargin) * 3 / 5;
  const int sideLeft = 2 * kMargin + tableWidth;
  const int sideWidth = width - sideLeft - kMargin;
  // The two choices side by side above the table.
  int left = kMargin;
  for (const auto& [choice, labelId, listId] :
       {std::tuple{&workbench::kNominalFrequencyChoice, ids::kFrequencyLabel, ids::kFrequencyList},
        std::tuple{&workbench::kCtSecondaryChoice, ids::kCtSecondaryLabel,
                   ids::kCtSecondaryList}}) {
    const int labelWidth = TextWidth(choice->label) + 4;
    Place(labelId, left, kMargin + 4, labelWidth, line);
    Place(listId, left + labelWidth + kMargin, kMargin, kChoiceWidth, Px(120));
    left += labelWidth + kChoiceWidth + 4 * kMargin;
  }
  // "生成报告…" after the choices, as high as they are.
  Place(ids::kMakeReportButton, left, kMargin, TextWidth(workbench::kMakeReportText) + Px(24),
        kRowHeight - 2);
  const int tableTop = kMargin + kRowHeight + kMargin;
  const int messageHeight = kMessageLines * line + Px(4);
  const int messageTop = height - kMargin - messageHeight;
  Place(ids::kWiringTable, kMargin, tableTop, tableWidth, messageTop - kMargin - tableTop);
  Place(ids::kWiringDetail, kMargin, messageTop, tableWidth, messageHeight);
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
  if (id == ids::kMakeReportButton && code == BN_CLICKED) {
    if (make_) make_();
    return;
  }
  if (code != CBN_SELCHANGE) return;
  const auto chosen = SendMessageW(Item(id), CB_GETCURSEL, 0, 0);
  const std::size_t index = chosen < 0 ? 0 : static_cast<std::size_t>(chosen);
  if (id == ids::kFrequencyList) {
    wiring_.ChooseNominalHz(index);
  } else if (id == ids::kCtSecondaryList) {
    wiring_.ChooseCtSecondary(index);
  } else {
    return;
  }
  if (IsWindowVisible(Handle()) != 0) ShowLastBlock();
}

void WiringPanel::SetNominalHz(double hz) {
  Choose(ids::kFrequencyList, workbench::kNominalFrequencyChoice.IndexOf(hz));
}

void WiringPanel::SetCtSecondaryA(double amps) {
  Choose(ids::kCtSecondaryList, workbench::kCtSecondaryChoice.IndexOf(amps));
}

void WiringPanel::BlockAdded() {
  if (IsWindowVisible(Handle()) != 0) ShowLastBlock();
}

void WiringPanel::OnShown() {
  ShowLastBlock();
}

void WiringPanel::ShowLastBlock() {
  if (!wiring_.Check()) return;
  std::vector<RowTexts> texts;
  for (const workbench::CheckRow& row : wiring_.Rows())
    texts.push_back({Wide(row.name), Wide(workbench::VerdictText(row.verdict)), Wide(row.message)});
  // The cells whose texts changed are drawn again, marked at once as the rectangle around them
  // (mostly the messages of a few rows); a steady load marks nothing.
  const bool recounted = texts.size() != shown_.size();
  HWND table = Table();
  RECT changed{};
  for (size_t r = 0; r < texts.size() && !recounted; ++r) {
    for (size_t c = 0; c < texts[r].size(); ++c) {
      RECT cell{};  // the whole row for the first column
      if (texts[r][c] == shown_[r][c] ||
          ListView_GetSubItemRect(table, static_cast<int>(r), static_cast<int>(c), LVIR_BOUNDS,
                                  &cell) == FALSE)
        continue;
      UnionRect(&changed, &changed, &cell);
    }
  }
  shown_ = std::move(texts);
  if (recounted) {
    ListView_SetItemCountEx(table, static_cast<int>(shown_.size()), LVSICF_NOSCROLL);
  } else if (IsRectEmpty(&changed) == FALSE) {
    InvalidateRect(table, &changed, TRUE);
  }
  ShowChosenMessage();
  // A steady load paints nothing, nor do readings that move no arrow by a pixel.
  RECT area{};
  GetClientRect(phasors_->Handle(), &area);
  if (!painted_ || workbench::DrawnDifferently(*painted_, *Diagram(), PhasorRadius(area)))
    InvalidateRect(phasors_->Handle(), nullptr, FALSE);
}

void WiringPanel::ShowChosenMessage() {
  const int chosen = ListView_GetNextItem(Table(), -1, LVNI_SELECTED);
  const auto row = static_cast<size_t>(std::max(chosen, 0));
  const std::string message = row < Rows().size() ? Rows()[row].message : "";
  if (message == shownMessage_) return;  // an unchanged text is not drawn again
  shownMessage_ = message;
  SetWindowTextW(Item(ids::kWiringDetail), Wide(message).c_str());
}

LRESULT WiringPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_CONTEXTMENU || PointerFrom<HWND>(wParam) != Table()) {
    return ChildPanel::OnMessage(message, wParam, lParam);
  }
  const CopyChoice choice = AskCopyChoice(Table(), lParam);
  if (choice == CopyChoice::SelectAll) SelectAllRows(Table());
  if (choice == CopyChoice::Copy) CopySelectedRows(Table());
  return 0;
}

std::string WiringPanel::CellText(int row, int column) const {
  wchar_t text[1024] = {};
  ListView_GetItemText(Table(), row, column, text, static_cast<int>(std::size(text)));
  return Utf8(text);
}

void WiringPanel::GiveText(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  const auto row = static_cast<size_t>(item.iItem);
  const auto column = static_cast<size_t>(item.iSubItem);
  const std::wstring* text =
      row < shown_.size() && column < RowTexts().size() ? &shown_[row][column] : nullptr;
  const size_t n =
      text != nullptr ? std::min(text->size(), static_cast<size_t>(item.cchTextMax - 1)) : 0;
  if (text != nullptr) text->copy(item.pszText, n);
  item.pszText[n] = L'\0';
}

int WiringPanel::FindRow(const NMLVFINDITEMW& find) const {
  if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return -1;
  const std::wstring typed = find.lvfi.psz;
  if (typed.empty()) return -1;
  // The same letter typed again and again goes on to the next row starting with it.
  const bool oneLetter = typed.find_first_not_of(typed[0]) == std::wstring::npos;
  const auto starts = [&](size_t row, size_t length) {
    return _wcsnicmp(shown_[row][0].c_str(), typed.c_str(), length) == 0;
  };
  const size_t count = shown_.size();
  const size_t start = find.iStart > 0 && static_cast<size_t>(find.iStart) < count
                           ? static_cast<size_t>(find.iStart)
                           : 0;
  // From the row after the focused one to the end, then from the top.
  for (const auto& [from, to] : {std::pair{start, count}, std::pair{size_t{0}, start}}) {
    int byLetter = -1;
    for (size_t r = from; r < to; ++r) {
      if (starts(r, typed.size())) return static_cast<int>(r);
      if (byLetter < 0 && oneLetter && starts(r, 1)) byLetter = static_cast<int>(r);
    }
    if (byLetter >= 0) return byLetter;
  }
  return -1;
}

LRESULT WiringPanel::OnNotify(NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(ids::kWiringTable)) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      GiveText(reinterpret_cast<NMLVDISPINFOW&>(header));
      return 0;
    case LVN_ODFINDITEMW:
      return FindRow(reinterpret_cast<NMLVFINDITEMW&>(header));
    case LVN_KEYDOWN:
      AnswerCopyKeys(Table(), reinterpret_cast<NMLVKEYDOWN&>(header).wVKey);
      return 0;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
      ShowChosenMessage();
      return 0;
    default:
      break;
  }
  if (header.code != NM_CUSTOMDRAW) return 0;
  auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
    case CDDS_ITEMPREPAINT:
      // Each row, then each of its cells (the same flag asks for both).
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_SUBITEM | CDDS_ITEMPREPAINT: {
      const auto row = static_cast<size_t>(draw.nmcd.dwItemSpec);
      const std::vector<workbench::CheckRow>& rows = wiring_.Rows();
      draw.clrText = draw.iSubItem == kVerdictColumn && row < rows.size()
                         ? ColourRef(workbench::VerdictColour(rows[row].verdict))
                         : GetSysColor(COLOR_WINDOWTEXT);
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace kt::ui::win32
