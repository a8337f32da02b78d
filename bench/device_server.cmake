# The window's time in the serial line while a device server does not answer.
add_executable(device_server_wait ${CMAKE_CURRENT_SOURCE_DIR}/device_server_wait.cpp)
target_link_libraries(device_server_wait PRIVATE kt_serial)
