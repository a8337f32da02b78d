// Text made safe to stand in HTML, as element content and inside quoted attribute values.
#pragma once

#include <string>
#include <string_view>

namespace kt::report {

// `&`, `<`, `>`, `"` and `'` as character references; control characters other than tab and
// line feed, and bytes that are not UTF-8, as U+FFFD, so that nothing the user typed can end an
// element or an attribute, or make the file invalid UTF-8.
std::string HtmlEscaped(std::string_view text);

}  // namespace kt::report
