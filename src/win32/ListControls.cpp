// List box lines and list view rows from UTF-8 texts.
#include "win32/ListControls.h"

#include <algorithm>

#include "platform/win32/WideText.h"
#include "ui/dialog/ColumnWidths.h"
#include "ui/dialog/ControlValues.h"

namespace kt::ui::win32 {
namespace {

using platform::win32::WideFromUtf8;

int ColumnCount(HWND table) {
  HWND header = ListView_GetHeader(table);
  return header != nullptr ? Header_GetItemCount(header) : 0;
}

// The width a column wants: its widest cell or its heading with the header's margins.
int WantedWidth(HWND table, int column) {
  ListView_SetColumnWidth(table, column, LVSCW_AUTOSIZE);
  const int cells = ListView_GetColumnWidth(table, column);
  wchar_t heading[64] = {};
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT;
  col.pszText = heading;
  col.cchTextMax = static_cast<int>(std::size(heading));
  ListView_GetColumn(table, column, &col);
  // The header's margins, about two characters of its font.
  const int margins = ListView_GetStringWidth(table, L"MM");
  return std::max(cells, ListView_GetStringWidth(table, heading) + margins);
}

}  // namespace

void FitTableColumns(HWND table) {
  const int columns = ColumnCount(table);
  std::vector<int> wanted;
  wanted.reserve(static_cast<size_t>(std::max(columns, 0)));
  for (int c = 0; c < columns; ++c) wanted.push_back(WantedWidth(table, c));
  RECT client{};
  GetClientRect(table, &client);
  const std::vector<int> widths = FittedColumnWidths(wanted, client.right - client.left);
  for (int c = 0; c < columns; ++c) {
    ListView_SetColumnWidth(table, c, widths[static_cast<size_t>(c)]);
  }
}

void SetListBoxLines(HWND list, const std::vector<std::string>& utf8Lines) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : utf8Lines) {
    const std::wstring wide = platform::win32::WideFromUtf8(line);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void SetTableHeadings(HWND table, const std::string& utf8Headings) {
  ListView_SetExtendedListViewStyle(table, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  int column = 0;
  for (const std::string& heading : TableCells(utf8Headings)) {
    std::wstring wide = platform::win32::WideFromUtf8(heading);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = wide.data();
    col.iSubItem = column;
    col.cx = 60;
    ListView_InsertColumn(table, column, &col);
    ++column;
  }
  FitTableColumns(table);
}

void SetTableRows(HWND table, const std::vector<std::string>& utf8Rows) {
  const int columns = ColumnCount(table);
  const int before = ListView_GetItemCount(table);
  const int selected = ListView_GetNextItem(table, -1, LVNI_SELECTED);
  SendMessageW(table, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(table);
  int row = 0;
  for (const std::string& line : utf8Rows) {
    const std::vector<std::string> cells = TableCells(line);
    for (int c = 0; c < columns; ++c) {
      std::wstring wide = static_cast<size_t>(c) < cells.size()
                              ? platform::win32::WideFromUtf8(cells[static_cast<size_t>(c)])
                              : L"";
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.iSubItem = c;
      item.pszText = wide.data();
      if (c == 0) {
        ListView_InsertItem(table, &item);
      } else {
        ListView_SetItem(table, &item);
      }
    }
    ++row;
  }
  // The row the user chose stays chosen; rows that came in are scrolled into view.
  const int count = ListView_GetItemCount(table);
  if (selected >= 0 && selected < count) {
    ListView_SetItemState(table, selected, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  }
  SendMessageW(table, WM_SETREDRAW, TRUE, 0);
  // Once the scroll bar the rows need is there.
  FitTableColumns(table);
  if (count > before) ListView_EnsureVisible(table, count - 1, FALSE);
  InvalidateRect(table, nullptr, TRUE);
}

std::wstring EditText(const std::string& utf8) {
  std::string lines;
  lines.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const bool pairStart = utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n';
    if (utf8[i] == '\r' && !pairStart) continue;  // a lone carriage return breaks nothing
    if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) lines += '\r';
    lines += utf8[i];
  }
  return platform::win32::WideFromUtf8(lines);
}

}  // namespace kt::ui::win32
