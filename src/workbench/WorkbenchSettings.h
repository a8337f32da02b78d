// What the workbench keeps between starts, behind a seam each front end implements (QSettings on
// Linux, the user's registry on Windows). A value never stored reads as nothing.
#pragma once

#include <optional>
#include <string>

#include "workbench/WindowPlacement.h"

namespace kt::workbench {

// The wiring check's remembered choices.
enum class NumberSetting { NominalHz, CtSecondaryA };
// The report's title fields the user typed last (UTF-8).
// The report's title fields, remembered as texts.
inline constexpr const char* kReportSiteKey = "report/site";
inline constexpr const char* kReportPanelKey = "report/panel";
inline constexpr const char* kReportEngineerKey = "report/engineer";

class WorkbenchSettings {
 public:
  WorkbenchSettings() = default;
  WorkbenchSettings(const WorkbenchSettings&) = delete;
  WorkbenchSettings& operator=(const WorkbenchSettings&) = delete;
  WorkbenchSettings(WorkbenchSettings&&) = delete;
  WorkbenchSettings& operator=(WorkbenchSettings&&) = delete;
  virtual ~WorkbenchSettings() = default;

  // The window's last frame (title bar included), as it was stored: the model clamps it.
  virtual std::optional<ScreenRect> Frame() const = 0;
  virtual void SetFrame(const ScreenRect& frame) = 0;
  virtual std::optional<double> Number(NumberSetting which) const = 0;
  virtual void SetNumber(NumberSetting which, double value) = 0;
  // The folder the last trend picture went to (UTF-8), "" when none.
  virtual std::string ExportFolder() const = 0;
  virtual void SetExportFolder(const std::string& folder) = 0;
  // A further tool's text under `key` ("bus/port3"), "" when none was stored.
  virtual std::string Text(const std::string& key) const = 0;
  virtual void SetText(const std::string& key, const std::string& value) = 0;
};

}  // namespace kt::workbench
