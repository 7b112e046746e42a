# tav_make_zip(OUTPUT path FILES f1 f2 ... [LEVEL n]): makes the zip archive
# OUTPUT at build time with the host tool tavzip (the engine of zipdll.dll),
# again whenever a file or tavzip changes. Members are stored without
# folders, under the files' own names, deflated at LEVEL (default 9; 0
# stores). Relative FILES are taken from the current source folder. Use
# OUTPUT as a source or a DEPENDS of the target that carries the archive.
function(tav_make_zip)
  cmake_parse_arguments(Z "" "OUTPUT;LEVEL" "FILES" ${ARGN})
  if(NOT Z_OUTPUT OR NOT Z_FILES)
    message(FATAL_ERROR "tav_make_zip(OUTPUT path FILES file... [LEVEL n])")
  endif()
  if(NOT DEFINED Z_LEVEL)
    set(Z_LEVEL 9)
  endif()
  if(NOT Z_LEVEL MATCHES "^[0-9]$")
    message(FATAL_ERROR "tav_make_zip: LEVEL must be one of 0 to 9, not '${Z_LEVEL}'")
  endif()
  set(files)
  foreach(file IN LISTS Z_FILES)
    if(NOT file MATCHES "^\\$<")
      get_filename_component(file ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    list(APPEND files ${file})
  endforeach()
  get_filename_component(output ${Z_OUTPUT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
  tav_host_tool(tavzip tavzip)
  # Made afresh each time: tavzip would otherwise add to the old archive.
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${output}
    COMMAND ${tavzip} -${Z_LEVEL} -j ${output} ${files}
    DEPENDS ${files} ${tavzip}
    COMMENT "Making zip archive ${Z_OUTPUT}"
    VERBATIM)
endfunction()
