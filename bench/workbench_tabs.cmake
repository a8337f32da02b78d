# The trend tab with an hour of data: adding a block and redrawing the chart (Qt front end only).
if(KT7340_WITH_QT)
  add_executable(workbench_tabs_bench ${CMAKE_CURRENT_SOURCE_DIR}/workbench_tabs_bench.cpp)
  target_link_libraries(workbench_tabs_bench PRIVATE kt_workbench_tabs benchmark::benchmark)
endif()

# Renders both tabs against the simulated load for the screenshots in docs/.
if(KT7340_WITH_QT)
  add_executable(workbench_screenshots ${CMAKE_CURRENT_SOURCE_DIR}/workbench_screenshots.cpp)
  target_include_directories(workbench_screenshots PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(workbench_screenshots PRIVATE kt_workbench_tabs kt_sim_server kt_monitor)
endif()
