# The monitor's hot path: one poll tick that decodes a measurement block.
if(NOT TARGET kt_test_support)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_BINARY_DIR}/bench/test_support)
endif()
kt_add_bench(monitor_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/monitor_bench.cpp
             LIBS kt_monitor kt_test_support)
