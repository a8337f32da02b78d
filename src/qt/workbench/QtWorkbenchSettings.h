// The workbench's settings in the user's settings file (QSettings), under the keys below.
#pragma once

#include "workbench/WorkbenchSettings.h"

namespace kt::ui::qt {

class QtWorkbenchSettings : public workbench::WorkbenchSettings {
 public:
  static constexpr const char* kGeometryKey = "workbench/geometry";
  static constexpr const char* kNominalHzKey = "wiringCheck/nominalHz";
  static constexpr const char* kCtSecondaryKey = "wiringCheck/ctSecondaryA";
  static constexpr const char* kExportFolderKey = "trend/exportFolder";

  std::optional<workbench::ScreenRect> Frame() const override;
  void SetFrame(const workbench::ScreenRect& frame) override;
  std::optional<double> Number(workbench::NumberSetting which) const override;
  void SetNumber(workbench::NumberSetting which, double value) override;
  std::string ExportFolder() const override;
  void SetExportFolder(const std::string& folder) override;
  std::string Text(const std::string& key) const override;
  void SetText(const std::string& key, const std::string& value) override;
};

}  // namespace kt::ui::qt
