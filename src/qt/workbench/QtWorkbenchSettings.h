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
  static constexpr const char* kReportSiteKey = "report/site";
  static constexpr const char* kReportPanelKey = "report/panel";
  static constexpr const char* kReportEngineerKey = "report/engineer";

  std::optional<workbench::ScreenRect> Frame() const override;
  void SetFrame(const workbench::ScreenRect& frame) override;
  std::optional<double> Number(workbench::NumberSetting which) const override;
  void SetNumber(workbench::NumberSetting which, double value) override;
  std::string ExportFolder() const override;
  void SetExportFolder(const std::string& folder) override;
  std::string Text(workbench::TextSetting which) const override;
  void SetText(workbench::TextSetting which, const std::string& text) override;
};

}  // namespace kt::ui::qt
