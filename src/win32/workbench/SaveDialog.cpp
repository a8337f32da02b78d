// GetSaveFileNameW in the user's folder.
#include "win32/workbench/SaveDialog.h"

#include <commdlg.h>

#include <cstdlib>
#include <vector>

#include "win32/MessageBoxColours.h"
#include "win32/workbench/ChildPanel.h"

namespace kt::ui::win32 {

std::string AskSavePath(HWND owner, const workbench::SaveQuestion& question,
                        const std::string& folder) {
  // The name box starts with the suggested name; the buffer takes the longest path Windows allows.
  constexpr size_t kLongestPath = 32768;
  std::vector<wchar_t> file(kLongestPath, L'\0');
  const std::wstring suggested = Wide(question.suggestedName);
  suggested.copy(file.data(), std::min(suggested.size(), kLongestPath - 1));
  // "name\0*.ext\0\0"
  std::wstring filter = Wide(question.typeName);
  filter += L'\0';
  filter += L"*." + Wide(question.extension);
  filter += L'\0';
  filter += L'\0';
  const std::wstring title = Wide(question.title);
  const std::wstring extension = Wide(question.extension);
  const std::wstring chosenFolder = Wide(folder);
  const wchar_t* home = folder.empty() ? _wgetenv(L"USERPROFILE") : chosenFolder.c_str();

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = home;
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = extension.c_str();
  ofn.Flags = OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;
  if (question.asksBeforeOverwriting) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (GetSaveFileNameW(&ofn) == 0) return {};
  const std::string chosen = Utf8(file.data());
  std::string completed = workbench::CompletedPath(question, chosen);
  if (workbench::AsksAgainBeforeOverwriting(question, chosen, completed) &&
      ColouredMessageBox(owner, Wide(workbench::OverwriteQuestionText(completed)), title,
                         MB_YESNO | MB_ICONWARNING) != IDYES) {
    return {};
  }
  return completed;
}

}  // namespace kt::ui::win32
