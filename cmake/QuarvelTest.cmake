# quarvel_add_test(NAME n COMMAND cmd... [XVFB] [SCREEN WxHxD])
# Every test runs in a private temporary home (drives root, ODBC, ALSA,
# SANE and current folder inside it); XVFB gives it an X server of its own.
# A test that hangs (a dialog or modal loop waiting for a person, a lost
# event) fails after QUARVEL_TEST_TIMEOUT seconds, a few times what the
# slower tests take on a loaded machine, instead of using up the whole run's
# time; the slowest set a TIMEOUT of their own.
set(QUARVEL_TEST_ENV ${CMAKE_SOURCE_DIR}/scripts/test-env)
set(QUARVEL_TEST_TIMEOUT 120)
function(quarvel_add_test)
  cmake_parse_arguments(T "XVFB" "NAME;SCREEN" "COMMAND" ${ARGN})
  set(wrap ${QUARVEL_TEST_ENV})
  if(T_XVFB)
    if(NOT T_SCREEN)
      set(T_SCREEN 1024x768x24)
    endif()
    list(APPEND wrap --xvfb ${T_SCREEN})
  endif()
  add_test(NAME ${T_NAME} COMMAND ${wrap} -- ${T_COMMAND})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${QUARVEL_TEST_TIMEOUT}
    ENVIRONMENT "QUARVEL_BIN=${QUARVEL_BIN};QUARVEL_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()

# quarvel_gtest(name SOURCES... LIBS ... [XVFB] [SCREEN s] [ARGS ...])
# ARGS go to the test program (a --gtest_filter that leaves some cases to
# test entries of their own).
function(quarvel_gtest name)
  cmake_parse_arguments(T "XVFB" "SCREEN" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(opts)
  if(T_XVFB)
    list(APPEND opts XVFB)
  endif()
  if(T_SCREEN)
    list(APPEND opts SCREEN ${T_SCREEN})
  endif()
  quarvel_add_test(NAME ${name} COMMAND $<TARGET_FILE:${name}> ${T_ARGS} ${opts})
endfunction()
