# cpack -G "NSIS;ZIP" on the Windows build: an installer kt7340-<version>-win64.exe with a
# Start-menu entry "7340智能电力检测仪" and an uninstaller, and a ZIP of the bare program.
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

# The Start-menu name is Chinese, so the installer must be a Unicode one; and a 64-bit one, like
# the program (it then also runs under a 64-bit wine). CMake's NSIS script template is used as it
# is, with "Target amd64-unicode" put first; cpack finds it in CPACK_MODULE_PATH before its own.
set(KT_NSIS_TEMPLATE_DIR "${CMAKE_BINARY_DIR}/nsis-template")
file(READ "${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in" KT_NSIS_TEMPLATE)
# The template begins with a byte order mark, then its first comment: the line goes between.
string(FIND "${KT_NSIS_TEMPLATE}" ";" KT_FIRST_COMMENT)
string(SUBSTRING "${KT_NSIS_TEMPLATE}" 0 ${KT_FIRST_COMMENT} KT_NSIS_BOM)
string(SUBSTRING "${KT_NSIS_TEMPLATE}" ${KT_FIRST_COMMENT} -1 KT_NSIS_TEMPLATE)
file(WRITE "${KT_NSIS_TEMPLATE_DIR}/NSIS.template.in"
     "${KT_NSIS_BOM}Target amd64-unicode\n${KT_NSIS_TEMPLATE}")
set(CPACK_MODULE_PATH "${KT_NSIS_TEMPLATE_DIR};${CMAKE_MODULE_PATH}")
