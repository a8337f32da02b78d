# The monitor's hot path: one poll tick that decodes a measurement block.
kt_add_bench(monitor_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/monitor_bench.cpp LIBS kt_monitor)
