// Paths as the program takes them (UTF-8) and files as bytes, for the Windows file tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kt::test {

inline std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace kt::test
