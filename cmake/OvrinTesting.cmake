# GoogleTest in both builds, and one helper that turns a list of sources into a test program whose
# cases ctest lists one by one. In the Windows build the cases run under Wine: ctest starts one Wine
# session (Xvfb and a Wine server) before the first case and ends it after the last, pass or fail.
enable_testing()

if(WIN32)
  # The Debian GoogleTest sources, built with the cross toolchain.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

  add_test(NAME wine_session_start COMMAND ${OVRIN_WINE_RUN} --start ${CMAKE_BINARY_DIR})
  add_test(NAME wine_session_stop COMMAND ${OVRIN_WINE_RUN} --stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
  set(OVRIN_TEST_PROPERTIES FIXTURES_REQUIRED wine)
else()
  find_package(GTest REQUIRED)
  set(OVRIN_TEST_PROPERTIES "")
endif()
include(GoogleTest)

# ovrin_add_test(NAME [ONE_ENTRY] SOURCES... [LIBS libs...] [PROPERTIES test properties...])
# ONE_ENTRY: the whole program is one ctest entry (GUI tests that share one display, so that the
# session pays for one start of the program's Wine processes).
function(ovrin_add_test name)
  cmake_parse_arguments(ARG "ONE_ENTRY" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ovrin_testsupport GTest::gtest_main GTest::gtest)
  if(ARG_ONE_ENTRY)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ${OVRIN_TEST_PROPERTIES} TIMEOUT 600 ${ARG_PROPERTIES})
    return()
  endif()
  # A one-test run still running after 90 s is looked at, ended and run again by wine-run; the time
  # allows for that.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${OVRIN_TEST_PROPERTIES} TIMEOUT 180 ${ARG_PROPERTIES})
endfunction()
