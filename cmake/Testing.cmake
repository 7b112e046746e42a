# Tests: GoogleTest built from Debian's sources for every target (so the
# Windows builds get a mingw GoogleTest), CTest registration, and under a
# Windows build the throw-away Wine prefix every test of the run shares.

enable_testing()

set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Third-party code: its own warnings are not ours to fix.
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)
if(TAV_SANITIZE)
  foreach(lib gtest gtest_main)
    target_compile_options(${lib} PRIVATE ${TAV_SANITIZER_FLAGS})
    target_link_options(${lib} PUBLIC ${TAV_SANITIZER_FLAGS})
  endforeach()
endif()

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(TAV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  add_test(NAME wine_prefix_create COMMAND ${TAV_WINE_PREFIX_SCRIPT} create ${TAV_WINEPREFIX})
  add_test(NAME wine_prefix_destroy COMMAND ${TAV_WINE_PREFIX_SCRIPT} destroy ${TAV_WINEPREFIX})
  set_tests_properties(wine_prefix_create PROPERTIES FIXTURES_SETUP wineprefix)
  set_tests_properties(wine_prefix_destroy PROPERTIES FIXTURES_CLEANUP wineprefix)
endif()

# Registers a test command; under a Windows build it runs through Wine in the
# run's prefix (CMAKE_CROSSCOMPILING_EMULATOR prefixes target commands).
function(tav_add_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  if(TAV_WINEPREFIX)
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED wineprefix
      ENVIRONMENT "WINEPREFIX=${TAV_WINEPREFIX}")
  endif()
endfunction()

# tav_add_gtest(name SOURCES a.cpp b.cpp LIBS lib...): one GoogleTest program,
# registered as one test.
function(tav_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tav_options gtest)
  # A test program with a source file named after main brings its own.
  set(own_main OFF)
  foreach(source IN LISTS T_SOURCES)
    get_filename_component(file ${source} NAME)
    if(file MATCHES "main")
      set(own_main ON)
    endif()
  endforeach()
  if(NOT own_main)
    target_link_libraries(${name} PRIVATE gtest_main)
  endif()
  tav_add_test(${name} ${name})
endfunction()
