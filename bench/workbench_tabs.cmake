# The trend tab with an hour of data: adding a block and redrawing the chart (Qt front end only).
if(KT7340_WITH_QT)
  add_executable(workbench_tabs_bench ${CMAKE_CURRENT_SOURCE_DIR}/workbench_tabs_bench.cpp)
  target_link_libraries(workbench_tabs_bench PRIVATE kt_workbench_tabs benchmark::benchmark)
endif()
