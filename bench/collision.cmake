# A figure, not a benchmark: settings commands clicked at random moments while polling.
if(NOT TARGET kt_test_support)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_BINARY_DIR}/bench/test_support)
endif()
find_package(GTest REQUIRED)
add_executable(command_collision ${CMAKE_CURRENT_SOURCE_DIR}/command_collision.cpp)
target_link_libraries(command_collision PRIVATE kt_monitor kt_sim kt_test_support kt_sim_process
                                                GTest::gtest)
