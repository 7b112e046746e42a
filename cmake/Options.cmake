# Compiler options shared by every target of ours (not by third-party code).
# Link `tav_options` to get the strict warning set, errors on warnings, and
# the sanitizer or Windows link settings of the current build.

add_library(tav_options INTERFACE)
target_compile_options(tav_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wcast-qual -Wformat=2
  -Wundef -Wnon-virtual-dtor -Wmissing-declarations -Werror)

if(TAV_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TAV_SANITIZE needs clang (libFuzzer)")
  endif()
  set(TAV_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  # Coverage instrumentation everywhere, so the fuzzers see into the libraries.
  target_compile_options(tav_options INTERFACE ${TAV_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
  target_link_options(tav_options INTERFACE ${TAV_SANITIZER_FLAGS})
endif()

if(WIN32)
  # One exe that runs on a bare Windows: no runtime DLLs beside it. No link
  # time in the headers: the same inputs give the same bytes, and the setup
  # program carries these files.
  target_link_options(tav_options INTERFACE -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
  target_compile_definitions(tav_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TAV_WIN32_I686 ON)
  endif()
endif()
