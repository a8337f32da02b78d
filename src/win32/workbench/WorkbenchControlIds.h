// The identifiers of the workbench window's controls, one name each.
#pragma once

namespace kt::ui::win32::workbench_ids {

inline constexpr int kTabs = 100;

// "报文"
inline constexpr int kTrafficList = 200;
inline constexpr int kPauseButton = 201;
inline constexpr int kClearButton = 202;
inline constexpr int kSaveButton = 203;
inline constexpr int kErrorsOnlyBox = 204;
inline constexpr int kEventCount = 205;
inline constexpr int kTrafficMessage = 206;
inline constexpr int kAddressFilterEdit = 207;
inline constexpr int kAddressFilterSpin = 208;

// "记录"
inline constexpr int kStartRecordingButton = 300;
inline constexpr int kStopRecordingButton = 301;
inline constexpr int kRecordFileLabel = 302;
inline constexpr int kRecordFile = 303;
inline constexpr int kRecordRowsLabel = 304;
inline constexpr int kRecordRows = 305;
inline constexpr int kRecordElapsedLabel = 306;
inline constexpr int kRecordElapsed = 307;
inline constexpr int kRecordMessage = 308;

// "趋势"
inline constexpr int kSpanLabel = 400;
inline constexpr int kSpanList = 401;
inline constexpr int kTrendPauseButton = 402;
inline constexpr int kExportButton = 403;
inline constexpr int kTrendChart = 404;
inline constexpr int kTrendMessage = 405;
inline constexpr int kTrendResetButton = 406;
inline constexpr int kTrendValue = 407;      // the value under the pointer
inline constexpr int kFirstGroupBox = 410;   // one per unit group
inline constexpr int kFirstSeriesBox = 420;  // one per series

// "接线检查"
inline constexpr int kFrequencyLabel = 500;
inline constexpr int kFrequencyList = 501;
inline constexpr int kWiringTable = 502;
inline constexpr int kPhasorDiagram = 503;
inline constexpr int kPhasorLegend = 504;
inline constexpr int kPhasorNote = 505;
inline constexpr int kCtSecondaryLabel = 506;
inline constexpr int kCtSecondaryList = 507;
inline constexpr int kMakeReportButton = 508;
inline constexpr int kWiringDetail = 509;

// "总线"
inline constexpr int kBusAddressLabel = 600;
inline constexpr int kBusAddressEdit = 601;
inline constexpr int kBusAddButton = 602;
inline constexpr int kBusRemoveButton = 603;
inline constexpr int kBusStartStopButton = 604;
inline constexpr int kBusList = 605;
inline constexpr int kBusMakeReportButton = 606;
inline constexpr int kBusCheckTitle = 607;
inline constexpr int kBusCheckList = 608;

// The report's title dialog (a dialog of its own, numbered apart from every page)
inline constexpr int kReportTitleTemplate = 700;
inline constexpr int kReportSiteEdit = 701;
inline constexpr int kReportPanelEdit = 702;
inline constexpr int kReportEngineerEdit = 703;

}  // namespace kt::ui::win32::workbench_ids
