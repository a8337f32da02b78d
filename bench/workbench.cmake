# Workbench core: appending a block to a full hour of trend data, and the window query over it.
kt_add_bench(workbench_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/workbench_bench.cpp
             LIBS kt_workbench)

# The workbench window's memory with a full traffic log (needs the Qt front end).
if(KT7340_WITH_QT)
  add_executable(workbench_log_fill ${CMAKE_CURRENT_SOURCE_DIR}/workbench_log_fill.cpp)
  target_link_libraries(workbench_log_fill PRIVATE kt_workbench_qt)
endif()
