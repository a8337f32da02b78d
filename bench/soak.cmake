# The simulator soak: a master that drives kt7340-sim (run it with bench/soak.sh).
add_executable(kt7340-soak-master ${CMAKE_CURRENT_LIST_DIR}/soak_master.cpp)
target_link_libraries(kt7340-soak-master PRIVATE kt_modbus kt_serial)
add_dependencies(kt7340-soak-master kt7340-sim)
