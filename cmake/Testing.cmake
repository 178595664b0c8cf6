# GoogleTest: the installed package where there is one (Debian's on the host);
# otherwise fetched, which the cross presets point at Debian's source
# (FETCHCONTENT_SOURCE_DIR_GOOGLETEST), so that nothing is downloaded there.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  include(FetchContent)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE) # the CRT that MSVC builds use
  FetchContent_Declare(googletest
                       GIT_REPOSITORY https://github.com/google/googletest.git
                       GIT_TAG release-1.12.1)
  FetchContent_MakeAvailable(googletest)
endif()
include(GoogleTest)

if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_NAME STREQUAL "Windows")
  # Windows test programs run under Wine, in a prefix private to this build.
  set(KAVREX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KAVREX_WINE_LOADER /usr/lib/wine/wine64)
  else()
    set(KAVREX_WINE_LOADER /usr/lib/wine/wine)
  endif()
  configure_file(cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

  # Every Windows test runs on a private X display of this build, which CTest
  # starts before the first of them and stops after the last: windows never
  # reach the user's desktop, and ctest needs nothing started by hand. Its
  # number comes from the build's folder, so that builds do not share one.
  string(MD5 folder_hash ${CMAKE_BINARY_DIR})
  string(SUBSTRING ${folder_hash} 0 3 folder_hash)
  math(EXPR KAVREX_DISPLAY_NUMBER "0x${folder_hash} % 700 + 300")
  set(display_fixture ${CMAKE_SOURCE_DIR}/tests/support/virtual-display.sh)
  add_test(NAME virtual_display_start
           COMMAND bash ${display_fixture} start ${KAVREX_DISPLAY_NUMBER} ${KAVREX_WINE_PREFIX})
  add_test(NAME virtual_display_stop
           COMMAND bash ${display_fixture} stop ${KAVREX_DISPLAY_NUMBER} ${KAVREX_WINE_PREFIX})
  set_tests_properties(virtual_display_start PROPERTIES FIXTURES_SETUP virtual_display)
  set_tests_properties(virtual_display_stop PROPERTIES FIXTURES_CLEANUP virtual_display)
  # English, whatever the developer's own language: a test of another sets its own.
  set(KAVREX_TEST_PROPERTIES FIXTURES_REQUIRED virtual_display
                             ENVIRONMENT DISPLAY=:${KAVREX_DISPLAY_NUMBER}
                             ENVIRONMENT_MODIFICATION LC_ALL=set:C.UTF-8)
endif()

# The scratch-key fixture that every suite shares, compiled once.
add_library(kavrex_registry_fixture STATIC tests/support/RegistryFixture.cpp)
target_link_libraries(kavrex_registry_fixture PUBLIC kavrex_platform kavrex_emulation GTest::gtest)
target_include_directories(kavrex_registry_fixture PUBLIC ${CMAKE_SOURCE_DIR}/tests)

# kavrex_add_tests(name sources... LIBS libs... [LOCK resource])
# Tests with the same LOCK never run at the same time.
function(kavrex_add_tests name)
  cmake_parse_arguments(ARG "" "LOCK" "LIBS" ${ARGN})
  set(lock "")
  if(ARG_LOCK)
    set(lock RESOURCE_LOCK ${ARG_LOCK})
  endif()
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kavrex_emulation GTest::gtest GTest::gtest_main
                                        $<IF:$<BOOL:${WIN32}>,advapi32,kavrex_host_binding>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                       PROPERTIES TIMEOUT 120 ${lock} ${KAVREX_TEST_PROPERTIES})
endfunction()
