// UTF-8, the program's text everywhere, and UTF-16, Windows' own, converted at the boundary.
#pragma once

#include <string>
#include <string_view>

namespace kt::platform::win32 {

// Invalid input becomes U+FFFD, so a conversion never fails.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace kt::platform::win32
