// The environment in UTF-16, whatever the code page: a file name in Chinese arrives whole.
#include "app/Environment.h"

#include <cstdlib>

#include "platform/win32/WideText.h"

namespace kt::app {

std::optional<std::string> EnvironmentValue(const char* name) {
  const wchar_t* value = _wgetenv(platform::win32::WideFromUtf8(name).c_str());
  if (value == nullptr) return std::nullopt;
  return platform::win32::Utf8FromWide(value);
}

}  // namespace kt::app
