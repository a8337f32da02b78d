// The title dialog from a template in plain data; its procedure fills and reads the edits.
#include "win32/workbench/ReportTitleDialog.h"

#include <array>
#include <string>
#include <vector>

#include "win32/DialogTemplateBytes.h"
#include "win32/WindowsApi.h"
#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/WorkbenchControlIds.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

namespace ids = workbench_ids;
using workbench::kReportTitleLabels;

constexpr uint32_t kEditStyle = kBorder | kAutoHScroll | kTabStop;
constexpr std::array<int, 3> kEdits = {ids::kReportSiteEdit, ids::kReportPanelEdit,
                                       ids::kReportEngineerEdit};

constexpr ControlTemplate kControls[] = {
    {IDC_STATIC, ControlKind::Label, kReportTitleLabels[0], {8, 10, 40, 8}, kNoStyle},
    {ids::kReportSiteEdit, ControlKind::Edit, "", {50, 8, 150, 12}, kEditStyle},
    {IDC_STATIC, ControlKind::Label, kReportTitleLabels[1], {8, 28, 40, 8}, kNoStyle},
    {ids::kReportPanelEdit, ControlKind::Edit, "", {50, 26, 150, 12}, kEditStyle},
    {IDC_STATIC, ControlKind::Label, kReportTitleLabels[2], {8, 46, 40, 8}, kNoStyle},
    {ids::kReportEngineerEdit, ControlKind::Edit, "", {50, 44, 150, 12}, kEditStyle},
    {IDOK, ControlKind::PushButton, "确定", {96, 64, 50, 14}, kDefaultButton | kTabStop},
    {IDCANCEL, ControlKind::PushButton, "取消", {150, 64, 50, 14}, kTabStop},
};

const DialogTemplate kTitleDialog{ids::kReportTitleTemplate,
                                  workbench::kReportTitleDialogTitle,
                                  208,
                                  86,
                                  "宋体",
                                  10,
                                  kCaption | kSysMenu | kModalFrame,
                                  kControls};

INT_PTR CALLBACK TitleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* title = PointerFrom<report::ReportTitle*>(lParam);
    const auto fields = report::TitleFields(*title);
    for (std::size_t i = 0; i < kEdits.size(); ++i)
      SetDlgItemTextW(dialog, kEdits[i], Wide(*fields[i]).c_str());
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const int id = LOWORD(wParam);
  if (id == IDOK) {
    auto* title = PointerFrom<report::ReportTitle*>(GetWindowLongPtrW(dialog, DWLP_USER));
    const auto fields = report::TitleFields(*title);
    for (std::size_t i = 0; i < kEdits.size(); ++i) {
      HWND edit = GetDlgItem(dialog, kEdits[i]);
      std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
      GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
      text.resize(text.size() - 1);
      *fields[i] = Utf8(text);
    }
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

bool AskReportTitle(HWND owner, report::ReportTitle& title) {
  const std::vector<uint32_t> bytes = BuildDialogTemplate(kTitleDialog, owner == nullptr);
  report::ReportTitle edited = title;
  const INT_PTR chosen = DialogBoxIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner, TitleProc,
      reinterpret_cast<LPARAM>(&edited));
  if (chosen != IDOK) return false;
  title = edited;
  return true;
}

}  // namespace kt::ui::win32
