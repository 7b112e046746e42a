# tav_add_fuzz_target(name LIBS lib... [MAX_LEN n]): the fuzz target
# fuzz/<name>_fuzzer.cpp, whose seeds live in fuzz/corpus/<name>; called
# from fuzz/CMakeLists.txt only. Every build replays the seeds through a
# standalone driver as an ordinary test; the sanitizer build (clang) also
# links the target with libFuzzer and runs a short smoke session. Long
# sessions: scripts/fuzz.sh.
set(TAV_FUZZ_SMOKE_SECONDS 10)

function(tav_add_fuzz_target name)
  cmake_parse_arguments(F "" "MAX_LEN" "LIBS" ${ARGN})
  if(NOT F_MAX_LEN)
    set(F_MAX_LEN 70000)
  endif()
  set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  set(source ${PROJECT_SOURCE_DIR}/fuzz/${name}_fuzzer.cpp)
  add_executable(${name}_replay ${source} ${PROJECT_SOURCE_DIR}/fuzz/standalone_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
  tav_add_test(fuzz_${name}_corpus ${name}_replay ${corpus})

  if(TAV_SANITIZE)
    add_executable(${name}_fuzzer ${source})
    target_link_libraries(${name}_fuzzer PRIVATE ${F_LIBS})
    target_link_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
    # New inputs go to the first folder, a scratch copy; the seeds stay as committed.
    set(scratch ${CMAKE_CURRENT_BINARY_DIR}/${name}_smoke)
    add_test(NAME fuzz_${name}_smoke
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
              bash -c "rm -rf '${scratch}' && mkdir -p '${scratch}' && exec \"$0\" \"$@\""
              $<TARGET_FILE:${name}_fuzzer> ${scratch} ${corpus}
              -max_total_time=${TAV_FUZZ_SMOKE_SECONDS} -max_len=${F_MAX_LEN} -seed=1 -print_final_stats=1)
  endif()
endfunction()
