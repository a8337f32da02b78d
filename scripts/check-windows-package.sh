#!/usr/bin/env bash
# Builds the Windows installer and ZIP from a configured Windows build folder and checks them:
# the program needs no DLL beyond Windows' own, the ZIP holds the bare program, and the installer,
# run silently under wine, puts the program and its Start-menu entry in place and its
# uninstaller takes them away again.
# Usage: scripts/check-windows-package.sh BUILD_DIR   (a mingw-w64 build; WINEPREFIX set up)
set -euo pipefail

source "$(dirname "$0")/package-build-folder.sh"
: "${WINEPREFIX:?check-windows-package: set WINEPREFIX to a wine prefix made for the test}"
export WINEDEBUG=${WINEDEBUG:--all}

cmake --build "$build" -j2 --target kt7340
exe="$build/src/app/kt7340.exe"
failed=0
fail() {
  echo "check-windows-package: $*" >&2
  failed=1
}

# Windows' own libraries only: nothing of the compiler's runtime may be left to a DLL.
system_dlls='^(kernel32|user32|gdi32|gdiplus|comctl32|comdlg32|advapi32|shell32|ole32|oleaut32|uxtheme|setupapi|cfgmgr32|ws2_32|msvcrt|ucrtbase|bcrypt|shlwapi|imm32|api-ms-win-.*)\.dll$'
while read -r dll; do
  grep -qiE "$system_dlls" <<<"$dll" || fail "kt7340.exe needs $dll, which Windows does not have"
done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
echo "kt7340.exe: $(stat -c %s "$exe") bytes"
# The version resource names the maker.
for field in CompanyName LegalCopyright; do
  strings -el "$exe" | grep -qx "$field" || fail "kt7340.exe's version resource has no $field"
done

out="$build/package"
rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G "NSIS;ZIP" -B "$out" >"$out/cpack.log" 2>&1) || {
  cat "$out/cpack.log" >&2
  exit 1
}
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
installer="$out/kt7340-$version-win64.exe"
zip="$out/kt7340-$version-win64.zip"
[[ -f $installer ]] || fail "cpack made no $(basename "$installer")"
[[ -f $zip ]] || fail "cpack made no $(basename "$zip")"
# No licence page (the packaging tool's English placeholder); the finish page in Chinese.
script="$out/_CPack_Packages/win64/NSIS/project.nsi"
if grep -q "MUI_PAGE_LICENSE" "$script"; then fail "the installer still has a licence page"; fi
for text in "运行 7340智能电力检测仪" "创建桌面快捷方式"; do
  grep -qF "$text" "$script" || fail "the finish page lacks \"$text\""
done
[[ $failed -eq 0 ]] || exit 1
echo "$(basename "$installer"): $(stat -c %s "$installer") bytes, $(basename "$zip"): $(stat -c %s "$zip") bytes"

zipped=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
[[ $zipped == "kt7340.exe" ]] || fail "the ZIP holds more or less than kt7340.exe: $zipped"
cmp -s <(python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("kt7340.exe"))' "$zip") "$exe" ||
  fail "the ZIP's kt7340.exe is not the one built"

# The installer, silently, into a folder of the test's own (NSIS takes /D= unquoted, so a
# name without spaces).
folder="$WINEPREFIX/drive_c/KT7340-test"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/7340智能电力检测仪"
rm -rf "$folder" "$menu"
timeout 120 wine "$installer" /S '/D=C:\KT7340-test'
wineserver --wait
cmp -s "$folder/kt7340.exe" "$exe" || fail "the installer did not install kt7340.exe"
[[ -f "$folder/Uninstall.exe" ]] || fail "the installer left no uninstaller"
[[ -f "$menu/7340智能电力检测仪.lnk" ]] || fail "no Start-menu entry \"7340智能电力检测仪\""
[[ -f "$menu/卸载 7340智能电力检测仪.lnk" ]] || fail "no Start-menu entry \"卸载 7340智能电力检测仪\""
# The uninstaller copies itself away and finishes in the background: wait for the wine server.
timeout 120 wine "C:\\KT7340-test\\Uninstall.exe" /S
wineserver --wait
for _ in $(seq 50); do
  [[ ! -e "$folder/kt7340.exe" && ! -e "$menu" ]] && break
  sleep 0.2
done
[[ ! -e "$folder/kt7340.exe" ]] || fail "the uninstaller left kt7340.exe"
[[ ! -e "$menu" ]] || fail "the uninstaller left the Start-menu entry"
exit $failed
