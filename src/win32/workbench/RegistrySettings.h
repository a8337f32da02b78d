// The workbench's settings in the user's registry (HKCU\Software\KT7340\workbench), behind the
// core's settings seam: the window's last frame, the wiring check's nominal frequency and CT
// rated secondary, the folder pictures were last exported to and the report's title fields, as the
// Linux window keeps them in its settings file.
#pragma once

#include "workbench/WorkbenchSettings.h"

namespace kt::ui::win32 {

inline constexpr const wchar_t* kSettingsKey = L"Software\\KT7340\\workbench";
inline constexpr const wchar_t* kGeometryValue = L"geometry";
inline constexpr const wchar_t* kNominalHzValue = L"nominalHz";
inline constexpr const wchar_t* kCtSecondaryValue = L"ctSecondaryA";
inline constexpr const wchar_t* kExportFolderValue = L"exportFolder";

class RegistrySettings : public workbench::WorkbenchSettings {
 public:
  std::optional<workbench::ScreenRect> Frame() const override;
  void SetFrame(const workbench::ScreenRect& frame) override;
  std::optional<double> Number(workbench::NumberSetting which) const override;
  void SetNumber(workbench::NumberSetting which, double value) override;
  std::string ExportFolder() const override;
  void SetExportFolder(const std::string& folder) override;
  // A text value named by its key ("bus/port3").
  std::string Text(const std::string& key) const override;
  void SetText(const std::string& key, const std::string& value) override;
};

}  // namespace kt::ui::win32
