# Small helpers shared by the folder CMakeLists files.

# kt_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l1 l2])
# One GoogleTest executable registered with CTest (each TEST becomes a ctest case).
function(kt_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${T_LABELS}")
endfunction()
