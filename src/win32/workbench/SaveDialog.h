// The system's save dialog, for "保存…", "开始记录…" and "导出图片…".
#pragma once

#include <string>

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

struct SaveQuestion {
  std::string title;          // "保存报文"
  std::string suggestedName;  // in the user's folder: "kt7340-20260102-043124.csv"
  std::string typeName;       // "CSV 文件 (*.csv)"
  std::string extension;      // "csv", added when the name has none
  // Whether the dialog asks before an existing file is chosen: it is overwritten, unless the
  // caller never overwrites (kNeverOverwrites).
  bool asksBeforeOverwriting = true;
  static constexpr bool kNeverOverwrites = false;
};

// The path the user chose (UTF-8), "" when cancelled.
std::string AskSavePath(HWND owner, const SaveQuestion& question);

// "20260102-043124" at the local time now, for suggested file names.
std::string LocalStampNow();

}  // namespace kt::ui::win32
