#!/usr/bin/env bash
# Checks who includes whom in src/ and sim/, as docs/architecture.md ("Who may include whom")
# states it: Qt only in the Qt front end and the Linux program's main.cpp; Windows headers only
# in win32/ folders, POSIX system headers only in posix/ folders (a win32/ folder may use the C
# runtime's <fcntl.h>, <sys/stat.h>, ...); the neutral code includes no posix/ or win32/ header
# of the project; and each folder includes only the project folders its line below names.
# Prints each violation as file:line and fails when there is one. Tests and benchmarks include
# anything and are not checked.
set -euo pipefail
cd "$(dirname "$0")/.."

qt='^Qt?[A-Za-z]*(/|$)'
windows='^(windows|winsock2|ws2tcpip|winbase|winuser|wingdi|winreg|windowsx|commctrl|commdlg|shellapi|shlobj|shlwapi|objbase|ole2|gdiplus|setupapi|devguid|initguid|cfgmgr32|ntddser|dbt|uxtheme|dwmapi|io|share|direct|process|tchar)\.h$'
posix='^(unistd|fcntl|termios|poll|signal|dirent|pthread|dlfcn|pwd|grp|glob|netdb|pty|spawn|syslog|sched|semaphore|strings|libgen|ifaddrs|fnmatch|wordexp|utmp)\.h$|^(sys|netinet|arpa|net|linux|asm|asm-generic)/'

# A folder (or file), the project paths it may include ("!" before one: never, though a wider
# path allows it). The most specific line wins; a name without a folder is the file's own.
arrows=(
  "src/platform             platform/"
  "src/serial               serial/ platform/"
  "src/modbus               modbus/ serial/"
  "src/values               values/ modbus/ serial/"
  "src/finder               finder/ modbus/ serial/"
  "src/ui/dialog            ui/dialog/"
  "src/qt/workbench         qt/ workbench/ values/ report/ bus/ ui/CMonitorDlg.h"
  "src/qt                   qt/ ui/dialog/ !qt/workbench/"
  "src/win32/workbench      win32/ workbench/ values/ report/ bus/ ui/CMonitorDlg.h ui/MainDialogTemplate.h platform/"
  "src/win32                win32/ ui/dialog/ platform/ !win32/workbench/"
  "src/ui                   ui/ measure/ commands/ values/ finder/ modbus/ serial/ platform/"
  "src/measure              ui/ measure/ commands/ values/ finder/ modbus/ serial/"
  "src/commands             ui/ measure/ commands/ values/ finder/ modbus/ serial/"
  "src/workbench            workbench/ values/ modbus/ serial/ platform/"
  "src/bus                  bus/ workbench/ report/ values/ ui/ measure/ finder/ modbus/ serial/ platform/ !ui/dialog/"
  "src/report               report/ workbench/ values/ ui/ measure/ modbus/ serial/ platform/ !ui/dialog/"
  "src/app/main.cpp         app/ ui/ values/ finder/ modbus/ serial/ measure/ report/ bus/ qt/ platform/"
  "src/app/win32            app/ ui/ values/ finder/ modbus/ serial/ measure/ report/ bus/ platform/ win32/"
  "src/app                  app/ ui/ values/ finder/ modbus/ serial/ measure/ report/ bus/ platform/"
  "src/service              service/ bus/ workbench/ values/ finder/ modbus/ serial/ platform/"
  "sim                      sim/ modbus/ serial/ platform/"
)

# Sets `allowed` to the arrows of a file: those of the longest folder (or the file) holding it.
arrows_of() {
  local file=$1 best="" line area
  allowed=""
  for line in "${arrows[@]}"; do
    area=${line%% *}
    if [[ $file == "$area" || $file == "$area"/* ]] && ((${#area} > ${#best})); then
      best=$area
      allowed=${line#"$area"}
    fi
  done
}

# Whether the project path `inc` is among the arrows in `allowed`.
allows() {
  local inc=$1 entry ok=1
  for entry in $allowed; do
    if [[ $entry == !* ]]; then
      [[ $inc == "${entry#!}"* ]] && return 1
    elif [[ $inc == "$entry"* ]]; then
      ok=0
    fi
  done
  return $ok
}

failures=0
report() {
  echo "$1: $2"
  failures=$((failures + 1))
}

directive='^([^:]+):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]+)'
current=""
while IFS= read -r hit; do
  [[ $hit =~ $directive ]] || continue
  file=${BASH_REMATCH[1]} where="${BASH_REMATCH[1]}:${BASH_REMATCH[2]}"
  bracket=${BASH_REMATCH[3]} inc=${BASH_REMATCH[4]}
  if [[ $file != "$current" ]]; then
    current=$file in_posix=0 in_win32=0
    [[ /$file == */posix/* ]] && in_posix=1
    [[ /$file == */win32/* ]] && in_win32=1
    arrows_of "$file"
  fi
  if [[ $bracket == "<" ]]; then
    if [[ $inc =~ $qt ]]; then
      [[ $file == src/qt/* || $file == src/app/main.cpp ]] ||
        report "$where" "<$inc>: Qt only in src/qt and src/app/main.cpp"
    elif [[ $inc =~ $windows ]]; then
      ((in_win32)) || report "$where" "<$inc>: a Windows header outside a win32/ folder"
    elif [[ $inc =~ $posix ]]; then
      ((in_posix || in_win32)) || report "$where" "<$inc>: a POSIX header outside a posix/ folder"
    fi
  elif [[ $inc != */* ]]; then
    continue  # the folder's own header
  elif [[ $inc == tests/* ]]; then
    report "$where" "\"$inc\": production code includes no test"
  elif ((!in_posix && !in_win32)) && [[ /$inc == */posix/* || /$inc == */win32/* ]]; then
    report "$where" "\"$inc\": a platform header outside posix/ and win32/ folders"
  elif ! allows "$inc"; then
    report "$where" "\"$inc\": not among what ${file%/*} may include: $(xargs <<<"$allowed")"
  fi
done < <(git ls-files -co --exclude-standard -z -- 'src/*.h' 'src/*.cpp' 'sim/*.h' 'sim/*.cpp' |
  xargs -0 grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]')

# The dialogs' state (members named m_...) is touched directly only by their own handlers in
# src/ui, src/measure and src/commands, and by the application object that sets them up; the
# rest of the program goes through the dialog's functions.
while IFS= read -r hit; do
  report "${hit%%:*}:$(cut -d: -f2 <<<"$hit")" "a dialog's state touched outside its handlers"
done < <(git ls-files -co --exclude-standard -- 'src/*.h' 'src/*.cpp' |
  grep -vE '^src/(ui|measure|commands)/|^src/app/CMonitorApp\.cpp$' |
  xargs grep -HnE '(\.|->)m_[A-Za-z]' || true)

if ((failures > 0)); then
  echo "check-includes: $failures place(s) against the rules (docs/architecture.md)" >&2
  exit 1
fi
echo "check-includes: every include keeps to the rules"
