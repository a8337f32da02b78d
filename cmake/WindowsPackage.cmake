# cpack -G "NSIS;ZIP" on the Windows build: an installer kt7340-<version>-win64.exe with a
# Start-menu entry "7340智能电力检测仪", its uninstaller "卸载 7340智能电力检测仪" beside it, and on
# the finish page "运行 7340智能电力检测仪" and "创建桌面快捷方式"; and a ZIP of the bare program.
# The program has no licence text of its own to show, so there is no licence page.
set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_FILE_NAME "kt7340-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "KT7340")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "KT7340")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

set(KT_START_MENU_NAME "7340智能电力检测仪")
set(CPACK_NSIS_PACKAGE_NAME "${KT_START_MENU_NAME}")
set(CPACK_NSIS_DISPLAY_NAME "${KT_START_MENU_NAME}")
# The program sits in the installation folder itself, as in the ZIP.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_PACKAGE_EXECUTABLES "kt7340" "${KT_START_MENU_NAME}")
set(CPACK_NSIS_INSTALLED_ICON_NAME "kt7340.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_MUI_FINISHPAGE_RUN "kt7340.exe")

# The finish page's check boxes in the program's language. The desktop shortcut is the "read me"
# box of the finish page (ticked by default), so it needs no page of its own; a silent
# installation makes none. The uninstaller removes it. The values reach the script as written.
set(CPACK_VERBATIM_VARIABLES ON)
set(KT_DESKTOP_LINK "$DESKTOP\\${KT_START_MENU_NAME}.lnk")
set(CPACK_NSIS_DEFINES "
  !define MUI_FINISHPAGE_RUN_TEXT \"运行 ${KT_START_MENU_NAME}\"
  !define MUI_FINISHPAGE_SHOWREADME \"\"
  !define MUI_FINISHPAGE_SHOWREADME_TEXT \"创建桌面快捷方式\"
  !define MUI_FINISHPAGE_SHOWREADME_FUNCTION KtCreateDesktopLink
Function KtCreateDesktopLink
  CreateShortCut \"${KT_DESKTOP_LINK}\" \"$INSTDIR\\kt7340.exe\"
FunctionEnd
")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "Delete \"${KT_DESKTOP_LINK}\"")

# The Start-menu name is Chinese, so the installer must be a Unicode one; and a 64-bit one, like
# the program (it then also runs under a 64-bit wine). CMake's NSIS script template is used as it
# is, with "Target amd64-unicode" put first (and the uninstaller's entry named in Chinese); cpack finds it in CPACK_MODULE_PATH before its own.
set(KT_NSIS_TEMPLATE_DIR "${CMAKE_BINARY_DIR}/nsis-template")
file(READ "${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in" KT_NSIS_TEMPLATE)
# The template begins with a byte order mark, then its first comment: the line goes between.
string(FIND "${KT_NSIS_TEMPLATE}" ";" KT_FIRST_COMMENT)
string(SUBSTRING "${KT_NSIS_TEMPLATE}" 0 ${KT_FIRST_COMMENT} KT_NSIS_BOM)
string(SUBSTRING "${KT_NSIS_TEMPLATE}" ${KT_FIRST_COMMENT} -1 KT_NSIS_TEMPLATE)
# The uninstaller's Start-menu entry in Chinese, as made and as removed.
string(REPLACE "Uninstall.lnk" "卸载 ${KT_START_MENU_NAME}.lnk" KT_NSIS_TEMPLATE "${KT_NSIS_TEMPLATE}")
file(WRITE "${KT_NSIS_TEMPLATE_DIR}/NSIS.template.in"
     "${KT_NSIS_BOM}Target amd64-unicode\n${KT_NSIS_TEMPLATE}")
set(CPACK_MODULE_PATH "${KT_NSIS_TEMPLATE_DIR};${CMAKE_MODULE_PATH}")
