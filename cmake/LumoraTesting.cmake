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
  add_test(NAME ${LUMORA_TEST_PREFIX}${target} COMMAND ${cmd})

  set(labels ${ARG_LABELS})
  if(CMAKE_CROSSCOMPILING)
    list(APPEND labels wine)
    # One Wine program at a time: they share one wineserver and one display.
    set_tests_properties(${LUMORA_TEST_PREFIX}${target} PROPERTIES RESOURCE_LOCK wine)
  endif()
  set_tests_properties(${LUMORA_TEST_PREFIX}${target} PROPERTIES LABELS "${labels}" TIMEOUT 600)
endfunction()
