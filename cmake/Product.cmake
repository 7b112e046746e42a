# What the product installs, fixed at build time and shared by the parts of
# the build that make, carry and remove it.

set(TAV_PRODUCT_NAME "TAV Quillbox")
set(TAV_PRODUCT_VERSION "2.1.1")

# The application's zip archive: each member and the file of the build it is
# made from, in archive order. Members are stored without folders, under the
# name of their file. This is the one list: the archive is made from it (see
# tav_application_archive), and the uninstaller removes what it names.
set(TAV_ARCHIVE_CONTENT
  "TAV Quillbox.exe"    "$<TARGET_FILE:tav_quillbox>"
  "uninstall.exe"       "$<TARGET_FILE:tav_uninstall>"
  "ReadMe.txt"          "${PROJECT_SOURCE_DIR}/data/ReadMe.txt"
  "License.txt"         "${PROJECT_SOURCE_DIR}/data/License.txt"
  "History.txt"         "${PROJECT_SOURCE_DIR}/data/History.txt"
  "Quick Reference.txt" "${PROJECT_SOURCE_DIR}/data/Quick Reference.txt"
  "Sample.tav"          "${PROJECT_SOURCE_DIR}/data/Sample.tav"
  "Addresses.csv"       "${PROJECT_SOURCE_DIR}/data/Addresses.csv")

set(TAV_ARCHIVE_MEMBERS)
set(TAV_ARCHIVE_FILES)
list(LENGTH TAV_ARCHIVE_CONTENT _length)
math(EXPR _last "${_length} - 1")
foreach(_index RANGE 0 ${_last} 2)
  math(EXPR _file_index "${_index} + 1")
  list(GET TAV_ARCHIVE_CONTENT ${_index} _member)
  list(GET TAV_ARCHIVE_CONTENT ${_file_index} _file)
  if(NOT _file MATCHES "^\\$<" AND NOT EXISTS "${_file}")
    message(FATAL_ERROR "The application archive's member ${_member} has no file: ${_file}")
  endif()
  list(APPEND TAV_ARCHIVE_MEMBERS "${_member}")
  list(APPEND TAV_ARCHIVE_FILES "${_file}")
endforeach()

# Everything the installation writes into the destination folder: the two
# carried libraries and the archive's members. The uninstaller removes
# exactly these.
set(TAV_INSTALLED_FILES "zipdll.dll" "unzdll.dll" ${TAV_ARCHIVE_MEMBERS})

# The date every member carries in the archive, and so on the user's disk
# once installed: the release's, never the build's, so that rebuilding with
# unchanged inputs gives the same archive byte for byte.
set(TAV_RELEASE_DATE "2002-06-14 12:00:00")

# tav_application_archive(OUTPUT path): makes the application's archive
# from TAV_ARCHIVE_CONTENT at build time with the host tool tavzip (deflate
# level 9), each member dated TAV_RELEASE_DATE. Made again whenever a member's
# file or tavzip changes.
function(tav_application_archive)
  cmake_parse_arguments(A "" "OUTPUT" "" ${ARGN})
  get_filename_component(output ${A_OUTPUT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
  get_filename_component(name ${output} NAME)
  set(stage ${CMAKE_CURRENT_BINARY_DIR}/${name}-members)
  set(staged)
  foreach(member IN LISTS TAV_ARCHIVE_MEMBERS)
    list(APPEND staged "${stage}/${member}")
  endforeach()
  tav_host_tool(tavzip tavzip)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy ${TAV_ARCHIVE_FILES} ${stage}
    COMMAND touch -d ${TAV_RELEASE_DATE} ${staged}
    COMMAND ${tavzip} -9 -j ${output} ${staged}
    DEPENDS ${TAV_ARCHIVE_FILES} ${tavzip}
    COMMENT "Making the application archive ${name}"
    VERBATIM)
endfunction()
