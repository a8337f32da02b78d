// The parts of the report, each an HTML fragment: the title block, the summary of a bus, one
// meter's page and the signature line.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "report/ReportData.h"

namespace kt::report {

inline constexpr char kReportTitle[] = "电能表接线检查报告";

// "2026-12-10 08:30:05" in local time.
std::string ReportTimeText(std::chrono::system_clock::time_point t);
// The meter's name, else "仪表 <address>".
std::string MeterName(const ReportMeter& meter);

// "电能表接线检查报告" with site, panel, engineer, date and time, program version and platform.
std::string TitleSection(const ReportTitle& title);
// One row per meter: address, name, overall verdict, total active power, total power factor.
std::string SummarySection(const std::vector<ReportMeter>& meters);
// One meter: settings, values, limit status, wiring check, phasor diagram, trends, link
// counters and the signature line. `site` heads the page so that it stands alone on paper.
std::string MeterSection(const ReportTitle& title, const ReportMeter& meter);
std::string SignatureLine();

}  // namespace kt::report
