# Test registration. Every test binary is one ctest entry: under Wine each
# start costs seconds, so a binary runs all its cases in one go. Tests that
# need the loopback HTTP server run through tests/run_with_server.py, which
# starts it, hands its address over in LUMORA_TEST_HTTP and stops it again.

if(CMAKE_CROSSCOMPILING)
  find_package(Threads REQUIRED)
  # Debian ships GoogleTest as sources; build them with the cross compiler.
  set(_gtest_root /usr/src/googletest/googletest)
  add_library(lumora_gtest STATIC ${_gtest_root}/src/gtest-all.cc ${_gtest_root}/src/gtest_main.cc)
  target_include_directories(lumora_gtest SYSTEM PUBLIC ${_gtest_root}/include PRIVATE ${_gtest_root})
  target_link_libraries(lumora_gtest PUBLIC Threads::Threads)
  add_library(GTest::gtest_main ALIAS lumora_gtest)
else()
  find_package(GTest REQUIRED)
endif()

find_package(Python3 REQUIRED COMPONENTS Interpreter)

# In a Windows tree every test runs under Wine: one at a time, since they
# share one wineserver and one display. In the i686 tree a gate goes first:
# where 32-bit programs cannot run it exits 77 and ctest counts the test as
# not run.
set(LUMORA_TEST_GATE "${LUMORA_TEST_GATE}" CACHE INTERNAL "")

# lumora_test_launcher(<var>): what goes before a test's command line.
function(lumora_test_launcher var)
  set(${var} ${LUMORA_TEST_GATE} PARENT_SCOPE)
endfunction()

# lumora_windows_test(<name> [LABELS ...]): the properties of a test that
# runs Windows programs.
function(lumora_windows_test name)
  cmake_parse_arguments(ARG "" "" "LABELS" ${ARGN})
  if(NOT CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    return()
  endif()
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine LABELS "${ARG_LABELS};wine")
  if(LUMORA_TEST_GATE)
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endfunction()

# lumora_add_test(<target> SOURCES ... [LIBS ...] [SERVER] [LABELS ...])
function(lumora_add_test target)
  cmake_parse_arguments(ARG "SERVER" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main lumora_options)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)

  set(cmd $<TARGET_FILE:${target}>)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(cmd ${CMAKE_CROSSCOMPILING_EMULATOR} ${cmd})
  endif()
  if(ARG_SERVER)
    set(cmd ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/run_with_server.py -- ${cmd})
  endif()
  lumora_test_launcher(launcher)
  add_test(NAME ${LUMORA_TEST_PREFIX}${target} COMMAND ${launcher} ${cmd})
  set_tests_properties(${LUMORA_TEST_PREFIX}${target} PROPERTIES TIMEOUT 600)
  lumora_windows_test(${LUMORA_TEST_PREFIX}${target} LABELS ${ARG_LABELS})
endfunction()
