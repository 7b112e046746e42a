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

# Binaries that ship (the setup program and everything it carries) are built
# for size on Windows: small code, each function and datum in its own section
# so that the link drops the unused ones, no symbols, no link time stamped in
# (so that the same sources give the same bytes), and the C++ runtime's
# error paths and its threads library replaced by small ones
# (base/LibraryErrors.cpp, base/PosixThreads_win.cpp). Both Windows
# builds do this, so the tests under Wine run what ships.
set(TAV_SIZE_FLAGS -Os -ffunction-sections -fdata-sections)

# tav_compile_for_size(library... [NO_EXCEPTIONS]): the libraries of a
# shipped binary; NO_EXCEPTIONS for those of a program that catches nothing.
function(tav_compile_for_size)
  cmake_parse_arguments(S "NO_EXCEPTIONS" "" "" ${ARGN})
  if(WIN32)
    foreach(library IN LISTS S_UNPARSED_ARGUMENTS)
      target_compile_options(${library} PRIVATE ${TAV_SIZE_FLAGS})
      if(S_NO_EXCEPTIONS)
        target_compile_options(${library} PRIVATE -fno-exceptions)
      endif()
    endforeach()
  endif()
endfunction()

# tav_link_for_size(target [NO_EXCEPTIONS]): a shipped exe or DLL itself.
# NO_EXCEPTIONS builds a program that catches nothing without exceptions,
# its runtime errors ending it at once (base/LibraryAborts.cpp); every
# library of its own must then be compiled so too.
function(tav_link_for_size target)
  cmake_parse_arguments(S "NO_EXCEPTIONS" "" "" ${ARGN})
  if(WIN32)
    target_compile_options(${target} PRIVATE ${TAV_SIZE_FLAGS})
    target_link_options(${target} PRIVATE -Os -Wl,--gc-sections -s -Wl,--no-insert-timestamp)
    if(S_NO_EXCEPTIONS)
      target_compile_options(${target} PRIVATE -fno-exceptions)
      target_link_libraries(${target} PRIVATE tav_library_aborts)
    else()
      target_link_libraries(${target} PRIVATE tav_library_errors tav_posix_threads)
    endif()
  endif()
endfunction()

# tav_export_undecorated(target): a DLL whose .def names its stdcall exports
# undecorated (ZipDllExec). On i686 the compiler's symbols carry their
# argument bytes (ZipDllExec@4); the linker binds the names to them without a
# warning per name.
function(tav_export_undecorated target)
  if(TAV_WIN32_I686)
    target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
endfunction()
