# A figure, not a benchmark: the finder's times in virtual time on the simulated line.
add_executable(finder_bench ${CMAKE_CURRENT_SOURCE_DIR}/finder_bench.cpp)
target_link_libraries(finder_bench PRIVATE kt_finder kt_sim)
