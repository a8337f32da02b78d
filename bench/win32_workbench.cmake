# The Windows workbench's load under wine, for bench/win32_workbench_figures.sh.
add_executable(workbench_load_probe ${CMAKE_CURRENT_SOURCE_DIR}/workbench_load_probe.cpp)
target_link_libraries(workbench_load_probe PRIVATE kt_win32_workbench kt_monitor psapi)
