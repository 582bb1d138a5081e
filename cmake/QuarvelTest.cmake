# quarvel_add_test(NAME n COMMAND cmd... [XVFB] [SCREEN WxHxD])
# Every test runs in a private temporary home (drives root, ODBC, ALSA,
# SANE and current folder inside it); XVFB gives it an X server of its own.
# A test that hangs (a dialog or modal loop waiting for a person, a lost
# event) fails after QUARVEL_TEST_TIMEOUT seconds, a few times what the
# slower tests take on a loaded machine, instead of using up the whole run's
# time; the slowest set a TIMEOUT of their own.
set(QUARVEL_TEST_ENV ${CMAKE_SOURCE_DIR}/scripts/test-env)
set(QUARVEL_TEST_TIMEOUT 120)

# In the sanitizer build (QUARVEL_SANITIZE) the first report ends a test,
# as a failure. Leaks are not looked for: LeakSanitizer's tracer does not
# survive some of the programs here (tools/make_resources). Qt's own
# reports are overlooked as scripts/sanitize/ubsan.supp says. The programs
# that may show a web page (the board's tests and the web browser control's)
# also overlook ASan's new-delete-type-mismatch: Qt WebEngine makes one
# (~WebContentsAdapter deletes an object through a type of another size),
# and ASan can only be told to drop that check for a whole process. Tests
# run a few times slower there.
set(QUARVEL_SANITIZER_ENV)
if(QUARVEL_SANITIZE)
  set(QUARVEL_TEST_TIMEOUT 600)
  set(QUARVEL_SANITIZER_ENV
    "ASAN_OPTIONS=detect_leaks=0:halt_on_error=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${CMAKE_SOURCE_DIR}/scripts/sanitize/ubsan.supp")
endif()
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
  set(env "QUARVEL_BIN=${QUARVEL_BIN}" "QUARVEL_SOURCE=${CMAKE_SOURCE_DIR}" ${QUARVEL_SANITIZER_ENV})
  if(QUARVEL_SANITIZE AND (CMAKE_CURRENT_SOURCE_DIR MATCHES "/tests/board$" OR T_NAME STREQUAL "test_vcl_webbrowser"))
    list(TRANSFORM env REPLACE "^ASAN_OPTIONS=" "ASAN_OPTIONS=new_delete_type_mismatch=0:")
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${QUARVEL_TEST_TIMEOUT}
    ENVIRONMENT "${env}")
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
