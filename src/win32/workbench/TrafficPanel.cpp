// The traffic log's list view: owner data, custom-drawn colours, the rows moved, not redrawn.
#include "win32/workbench/TrafficPanel.h"

#include <chrono>

#include <algorithm>
#include <array>

#include "win32/workbench/Clipboard.h"
#include "win32/workbench/SaveDialog.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "workbench/TrafficLogColours.h"
#include "workbench/WorkbenchLook.h"
#include "workbench/WorkbenchModel.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
constexpr UINT_PTR kFlushTimer = 1;
// Sizes at 96 dpi, scaled to the window's (ChildPanel::Px).
constexpr int kMarginAt96 = 6;
constexpr int kButtonHeightAt96 = 24;
// Column widths in characters of the widest of their texts.
constexpr std::array<const char*, 6> kColumnSamples = {
    "00:00:00.000", "丢弃丢", "2555", "0000", "应答 (95 字节)应答 (95 字节)", ""};
constexpr int kBytesColumnPx = 900;

std::string ColumnText(const workbench::TrafficColumns& c, int column) {
  switch (column) {
    case 0:
      return c.time;
    case 1:
      return c.direction;
    case 2:
      return c.address;
    case 3:
      return c.function;
    case 4:
      return c.reading;
    default:
      return c.hex;
  }
}

}  // namespace

HWND TrafficPanel::List() const {
  return Item(ids::kTrafficList);
}

void TrafficPanel::Populate() {
  HWND list =
      Add(WC_LISTVIEWW, "", WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
          ids::kTrafficList);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (size_t c = 0; c < workbench::kTrafficColumnHeads.size(); ++c) {
    std::wstring head = Wide(workbench::kTrafficColumnHeads[c]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = head.data();
    column.cx =
        c + 1 < kColumnSamples.size() ? TextWidth(kColumnSamples[c]) + Px(12) : Px(kBytesColumnPx);
    column.iSubItem = static_cast<int>(c);
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  Add(WC_BUTTONW, workbench::kPauseText, WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE,
      ids::kPauseButton);
  Add(WC_BUTTONW, workbench::kClearText, WS_TABSTOP | BS_PUSHBUTTON, ids::kClearButton);
  Add(WC_BUTTONW, workbench::kSaveLogText, WS_TABSTOP | BS_PUSHBUTTON, ids::kSaveButton);
  Add(WC_BUTTONW, workbench::kErrorsOnlyText, WS_TABSTOP | BS_AUTOCHECKBOX, ids::kErrorsOnlyBox);
  Add(WC_STATICW, "", SS_RIGHT, ids::kEventCount);
  Add(WC_STATICW, "", SS_LEFT | SS_NOPREFIX, ids::kTrafficMessage);
  MarkRed(ids::kTrafficMessage);
  SetTimer(Handle(), kFlushTimer, static_cast<UINT>(workbench::kTrafficFlushPeriod.count()),
           nullptr);
  Refill();
}

void TrafficPanel::Layout(int width, int height) {
  const int kMargin = Px(kMarginAt96);
  const int kButtonHeight = Px(kButtonHeightAt96);
  const int line = LineHeight();
  const int messageTop = height - kMargin - line;
  const int buttonsTop = messageTop - kMargin - kButtonHeight;
  Place(ids::kTrafficList, kMargin, kMargin, width - 2 * kMargin, buttonsTop - 2 * kMargin);
  int x = kMargin;
  for (const int id : {ids::kPauseButton, ids::kClearButton, ids::kSaveButton}) {
    Place(id, x, buttonsTop, Px(72), kButtonHeight);
    x += Px(72) + kMargin;
  }
  const int boxWidth = TextWidth(workbench::kErrorsOnlyText) + Px(28);
  Place(ids::kErrorsOnlyBox, x, buttonsTop, boxWidth, kButtonHeight);
  const int countLeft = x + boxWidth + kMargin;
  Place(ids::kEventCount, countLeft, buttonsTop + (kButtonHeight - line) / 2,
        std::max(0, width - kMargin - countLeft), line);
  Place(ids::kTrafficMessage, kMargin, messageTop, width - 2 * kMargin, line);
}

void TrafficPanel::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case ids::kPauseButton:
      log_.SetPaused(Checked(ids::kPauseButton));
      break;
    case ids::kClearButton:
      log_.Clear();
      Refill();
      break;
    case ids::kSaveButton:
      AskAndSave();
      break;
    case ids::kErrorsOnlyBox:
      Refill();
      break;
    default:
      break;
  }
}

void TrafficPanel::OnTimer(UINT_PTR timerId) {
  // Out of sight the lines wait; the tab catches up when shown.
  if (timerId == kFlushTimer && IsWindowVisible(Handle()) != 0) Flush();
}

void TrafficPanel::Refill() {
  filter_.Choose({Checked(ids::kErrorsOnlyBox), workbench::TrafficChoice::kAnyAddress});
  first_ = filter_.First();
  end_ = filter_.End();
  HWND list = List();
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list, Count(), 0);
  if (Count() > 0) ListView_EnsureVisible(list, Count() - 1, FALSE);
  InvalidateRect(list, nullptr, TRUE);
  ShowCount();
}

void TrafficPanel::Flush() {
  HWND list = List();
  if (!filter_.Update()) {
    // An error's request went before lines already shown: every row may show another line.
    const int top = ListView_GetTopIndex(list);
    const bool atNewest = top + ListView_GetCountPerPage(list) >= Count();
    first_ = filter_.First();
    end_ = filter_.End();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemCountEx(list, Count(), LVSICF_NOSCROLL);
    if (atNewest && Count() > 0) ListView_EnsureVisible(list, Count() - 1, FALSE);
    InvalidateRect(list, nullptr, FALSE);
    ShowCount();
    return;
  }
  ShowCount();
  if (filter_.First() == first_ && filter_.End() == end_) return;
  const int top = ListView_GetTopIndex(list);
  const bool atNewest = top + ListView_GetCountPerPage(list) >= Count();
  const auto dropped = static_cast<int>(std::min<uint64_t>(filter_.First() - first_, Count()));
  first_ = filter_.First();
  end_ = filter_.End();
  KeepSelectionOnLines(dropped);
  // The count changes without the list drawing itself anew.
  ListView_SetItemCountEx(list, Count(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (dropped > 0) {
    if (atNewest) {
      MoveRowsUp(dropped);
    } else {
      // A reader who scrolled up keeps the lines in view.
      RECT item{};
      ListView_GetItemRect(list, 0, &item, LVIR_BOUNDS);
      ListView_Scroll(list, 0, -dropped * (item.bottom - item.top));
      InvalidateRect(list, nullptr, FALSE);
    }
  }
  if (atNewest && Count() > 0) ListView_EnsureVisible(list, Count() - 1, FALSE);
}

void TrafficPanel::MoveRowsUp(int rows) {
  HWND list = List();
  RECT area{};
  GetClientRect(list, &area);
  RECT header{};
  GetWindowRect(ListView_GetHeader(list), &header);
  area.top += header.bottom - header.top;
  RECT item{};
  ListView_GetItemRect(list, 0, &item, LVIR_BOUNDS);
  const int h = item.bottom - item.top;
  if (h <= 0) return;
  // What scrolls into view at the bottom is marked for drawing; the rest only moves.
  ScrollWindowEx(list, 0, -rows * h, &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

void TrafficPanel::KeepSelectionOnLines(int droppedRows) {
  if (droppedRows <= 0) return;
  HWND list = List();
  const int oldCount = Count() + droppedRows;  // at most: rows may also have been added
  std::vector<int> selected;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0 && row < oldCount;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    selected.push_back(row);
  }
  if (selected.empty()) return;
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  for (const int row : selected) {
    if (row >= droppedRows)
      ListView_SetItemState(list, row - droppedRows, LVIS_SELECTED, LVIS_SELECTED);
  }
}

void TrafficPanel::ShowCount() {
  if (log_.EventCount() == shownCount_) return;
  shownCount_ = log_.EventCount();
  SetText(ids::kEventCount, workbench::LogCountText(log_));
}

const workbench::TrafficLine* TrafficPanel::LineOfRow(int row) const {
  if (row < 0) return nullptr;
  const uint64_t number = first_ + static_cast<uint64_t>(row);
  return number < end_ && filter_.Kept(number) ? &filter_.Line(number) : nullptr;
}

void TrafficPanel::GiveText(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  item.pszText[0] = L'\0';
  const workbench::TrafficLine* line = LineOfRow(item.iItem);
  if (line == nullptr) return;
  const std::wstring text = Wide(ColumnText(line->Columns(), item.iSubItem));
  const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
  text.copy(item.pszText, n);
  item.pszText[n] = L'\0';
}

LRESULT TrafficPanel::CustomDraw(NMLVCUSTOMDRAW& draw) const {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const workbench::TrafficLine* line = LineOfRow(static_cast<int>(draw.nmcd.dwItemSpec));
      if (line != nullptr) {
        draw.clrText = ColourRef(workbench::ColourOf(workbench::RoleOf(*line)));
      }
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

LRESULT TrafficPanel::OnNotify(NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(ids::kTrafficList)) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      GiveText(reinterpret_cast<NMLVDISPINFOW&>(header));
      return 0;
    case NM_CUSTOMDRAW:
      return CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    case LVN_KEYDOWN: {
      const auto& key = reinterpret_cast<NMLVKEYDOWN&>(header);
      const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
      if (control && key.wVKey == 'C') CopySelection();
      if (control && key.wVKey == 'A') SelectAll();
      return 0;
    }
    default:
      return 0;
  }
}

std::string TrafficPanel::Text(int fromRow, int toRow) const {
  std::string text;
  for (int row = fromRow; row < toRow; ++row) {
    const workbench::TrafficLine* line = LineOfRow(row);
    if (line == nullptr) continue;
    if (!text.empty()) text += '\n';
    text += line->Text();
  }
  return text;
}

std::string TrafficPanel::SelectedText() const {
  std::string text;
  HWND list = List();
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    const workbench::TrafficLine* line = LineOfRow(row);
    if (line == nullptr) continue;
    if (!text.empty()) text += '\n';
    text += line->Text();
  }
  return text;
}

void TrafficPanel::SelectAll() {
  ListView_SetItemState(List(), -1, LVIS_SELECTED, LVIS_SELECTED);
}

void TrafficPanel::CopySelection() const {
  const std::string text = SelectedText();
  if (!text.empty()) CopyToClipboard(Handle(), text);
}

std::string TrafficPanel::SaveTo(const std::string& path) {
  Flush();  // what the log holds now, not what the last refresh showed
  std::string failure = log_.SaveTo(path, filter_.LogNumbers());
  SetText(ids::kTrafficMessage, failure);
  return failure;
}

void TrafficPanel::AskAndSave() {
  const std::string path =
      AskSavePath(Handle(), workbench::LogSaveQuestion(std::chrono::system_clock::now()));
  if (!path.empty()) SaveTo(path);
}

}  // namespace kt::ui::win32
