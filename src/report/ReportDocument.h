// The commissioning report as one self-contained HTML file (UTF-8, inline SVG, no scripts, no
// other files), printable on A4 portrait: the title block, for several meters a summary, then
// one page per meter. Both window programs and `kt7340 --report` write it with these functions.
#pragma once

#include <string>

#include "report/ReportData.h"

namespace kt::report {

// The whole document. Every text the user typed is escaped; the file differs between the
// platforms only in its "运行平台" line.
std::string ReportHtml(const Report& report);

// "报告-<site>-<YYYY-MM-DD>.html" for the day the report was made; characters a file name
// cannot hold on either platform (/ \ : * ? " < > | and control characters) become "_", and an
// empty site is "现场".
std::string DefaultReportFileName(const ReportTitle& title);

// Writes `html` to `path` (UTF-8), replacing a file there. Empty on success, else why not, in
// Chinese ("无法写入报告 <path>：磁盘已满").
std::string WriteReportFile(const std::string& path, const std::string& html);

}  // namespace kt::report
