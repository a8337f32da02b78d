// Putting the report together, naming and writing its file.
#include "report/ReportDocument.h"

#include <cerrno>

#include "platform/FileOutput.h"
#include "report/ReportSections.h"

namespace kt::report {
namespace {

// A4 portrait; each meter on a page of its own (a single meter shares the first page with the
// title block). Fonts a Chinese Linux or Windows desktop has.
constexpr char kStyle[] = R"(<style>
@page { size: A4 portrait; margin: 12mm; }
body { font-family: "Noto Sans CJK SC", "WenQuanYi Micro Hei", "Microsoft YaHei", SimSun, sans-serif;
  font-size: 9pt; color: #000; margin: 0; }
@media screen { body { max-width: 186mm; margin: 8px auto; } }
h1 { font-size: 16pt; text-align: center; margin: 0 0 4px; }
h2 { font-size: 12pt; margin: 4px 0; border-bottom: 1px solid #888; }
h2 .site { float: right; font-size: 9pt; font-weight: normal; }
table { border-collapse: collapse; margin: 2px 0 4px; }
th, td { border: 1px solid #bbb; padding: 1px 4px; text-align: left; vertical-align: top; }
th { background: #f2f2f2; font-weight: normal; white-space: nowrap; }
header.title table { width: 100%; }
td.value { text-align: right; white-space: nowrap; min-width: 5.5em; }
td.alarm { color: #d02020; font-weight: bold; }
td.mark { white-space: nowrap; font-weight: bold; }
table.summary td, table.check td:first-child { white-space: nowrap; }
table.summary td:nth-child(3) { white-space: normal; }
.columns, .figures { display: flex; gap: 8px; align-items: flex-start; }
.trends { display: flex; flex-wrap: wrap; width: 330px; }
svg.phasor { width: 190px; height: 190px; }
svg.trend { width: 160px; height: 94px; }
.caption { width: 100%; margin: 0; }
p { margin: 2px 0; }
p.verdict { font-size: 10pt; }
p.note { color: #555; font-size: 7.5pt; }
p.signature { margin-top: 6px; }
.signature .blank { display: inline-block; width: 38mm; border-bottom: 1px solid #000;
  margin: 0 6mm 0 1mm; }
section.summary + section.meter, section.meter + section.meter { break-before: page; }
svg { break-inside: avoid; }
</style>
)";

constexpr char kForbiddenInFileNames[] = "/\\:*?\"<>|";

}  // namespace

std::string ReportHtml(const Report& report) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
      std::string(kReportTitle) + "</title>\n";
  html += kStyle;
  html += "</head>\n<body>\n" + TitleSection(report.title) + "\n";
  if (report.meters.size() > 1) html += SummarySection(report.meters) + "\n";
  for (const ReportMeter& meter : report.meters) html += MeterSection(report.title, meter) + "\n";
  return html + "</body>\n</html>\n";
}

std::string DefaultReportFileName(const ReportTitle& title) {
  std::string site = title.site.empty() ? "现场" : title.site;
  for (char& c : site) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F ||
        std::string_view(kForbiddenInFileNames).find(c) != std::string_view::npos) {
      c = '_';
    }
  }
  return "报告-" + site + "-" + ReportTimeText(title.made).substr(0, 10) + ".html";
}

std::string WriteReportFile(const std::string& path, const std::string& html) {
  const platform::OutputFile file(path);
  if (!file.IsOpen() || !file.Write(html)) {
    return "无法写入报告 " + path + "：" + platform::FileErrorReason(errno);
  }
  return "";
}

}  // namespace kt::report
