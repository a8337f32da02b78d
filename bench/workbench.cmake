# Workbench core: appending a block to a full hour of trend data, and the window query over it.
kt_add_bench(workbench_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/workbench_bench.cpp
             LIBS kt_workbench)
