// The lines of list boxes and tables.
#pragma once

#include <string>
#include <vector>

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

// Replaces the lines of a list box.
void SetListBoxLines(HWND list, const std::vector<std::string>& utf8Lines);

// Gives a report-style list view its columns from the headings (separated by '\t').
void SetTableHeadings(HWND table, const std::string& utf8Headings);
// Replaces a table's rows: one per line, its cells separated by '\t' (missing ones empty).
void SetTableRows(HWND table, const std::vector<std::string>& utf8Rows);
// Gives a table's columns the widths FittedColumnWidths decides for its width now: every column
// in view, the narrow ones whole.
void FitTableColumns(HWND table);

// The text shown by an edit box: line ends as "\r\n", which is what the edit control breaks at;
// a carriage return of its own (the echoes put one after each byte) is left out.
std::wstring EditText(const std::string& utf8);

}  // namespace kt::ui::win32
