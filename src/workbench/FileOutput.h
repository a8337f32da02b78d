// Writing to files without buffering in the process, and the Chinese reasons of their failures.
#pragma once

#include <string>
#include <string_view>

namespace kt::workbench {

// "磁盘已满" for ENOSPC, "文件夹不存在" for ENOENT, ...; the system's text for the rarer ones.
std::string FileErrorReason(int error);

// Hands all of `text` to the system with write(2); false with errno set on failure.
bool WriteAll(int fd, std::string_view text);

}  // namespace kt::workbench
