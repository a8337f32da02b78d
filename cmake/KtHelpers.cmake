# Small helpers shared by the folder CMakeLists files.

# kt_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l1 l2] [TIMEOUT seconds])
# One GoogleTest executable registered with CTest (each TEST becomes a ctest case). Every case
# gets a time limit so a hang fails instead of stalling the run: by default 10 s for unit tests
# and 120 s for integration and gui tests.
function(kt_default_timeout out labels)
  if("integration" IN_LIST labels OR "gui" IN_LIST labels)
    set(${out} 120 PARENT_SCOPE)
  else()
    set(${out} 10 PARENT_SCOPE)
  endif()
endfunction()

function(kt_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    kt_default_timeout(T_TIMEOUT "${T_LABELS}")
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
endfunction()
