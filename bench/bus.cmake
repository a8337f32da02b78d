# A figure, not a benchmark: the bus poller's round in virtual time on the simulated line.
add_executable(bus_bench ${CMAKE_CURRENT_SOURCE_DIR}/bus_bench.cpp)
target_link_libraries(bus_bench PRIVATE kt_bus kt_sim)
