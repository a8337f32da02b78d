// AttachConsole(ATTACH_PARENT_PROCESS) for the options that print.
#include "app/win32/ParentConsole.h"

#include <windows.h>

#include <cstdio>

namespace kt::app::win32 {
namespace {

bool Connected(DWORD which) {
  HANDLE h = GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

}  // namespace

void UseParentConsole() {
  const bool out = Connected(STD_OUTPUT_HANDLE);
  const bool err = Connected(STD_ERROR_HANDLE);
  if (out && err) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  SetConsoleOutputCP(CP_UTF8);
  FILE* stream = nullptr;
  if (!out) freopen_s(&stream, "CONOUT$", "w", stdout);
  if (!err) freopen_s(&stream, "CONOUT$", "w", stderr);
}

}  // namespace kt::app::win32
