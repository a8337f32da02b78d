// The clipboard in Unicode text.
#include "win32/workbench/Clipboard.h"

#include <cstring>

#include "win32/workbench/ChildPanel.h"

namespace kt::ui::win32 {

bool CopyToClipboard(HWND owner, const std::string& utf8) {
  std::wstring text;
  for (const wchar_t c : Wide(utf8)) {
    if (c == L'\n') text += L'\r';
    text += c;
  }
  if (OpenClipboard(owner) == 0) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool done = false;
  if (memory != nullptr) {
    void* at = GlobalLock(memory);
    if (at != nullptr) {
      std::memcpy(at, text.c_str(), bytes);
      GlobalUnlock(memory);
      done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!done) GlobalFree(memory);
  }
  CloseClipboard();
  return done;
}

std::string ClipboardText(HWND owner) {
  if (OpenClipboard(owner) == 0) return {};
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return Utf8(text);
}

}  // namespace kt::ui::win32
