# The size limits of what ships, and the i686 build's size table
# (scripts/sizes.sh), printed by every build of that tree.

# The setup exe without the files it carries.
set(TAV_SETUP_SIZE_LIMIT 262144)

# tav_add_size_table(): call once every target exists. In the i686 tree, the
# target size_table (built by default, after the shipped binaries) prints the
# table; the inputs it reads are written to size-table-inputs.txt.
function(tav_add_size_table)
  if(NOT TAV_WIN32_I686)
    return()
  endif()
  # The application archive's members as files of this build: the list
  # TAV_ARCHIVE_MEMBER_FILES when the build has one, otherwise the members'
  # names, the two programs being built and everything else taken from data/.
  if(DEFINED TAV_ARCHIVE_MEMBER_FILES)
    set(files ${TAV_ARCHIVE_MEMBER_FILES})
  else()
    set(files)
    foreach(member IN LISTS TAV_ARCHIVE_MEMBERS)
      if(member STREQUAL "TAV Quillbox.exe")
        list(APPEND files "$<TARGET_FILE:tav_quillbox>")
      elseif(member STREQUAL "uninstall.exe")
        list(APPEND files "$<TARGET_FILE:tav_uninstall>")
      else()
        list(APPEND files "${PROJECT_SOURCE_DIR}/data/${member}")
      endif()
    endforeach()
  endif()
  tav_host_tool(pmcs pmcs)
  tav_host_tool(tavzip tavzip)
  set(content "unzdll=$<TARGET_FILE:unzdll>\nzipdll=$<TARGET_FILE:zipdll>\n")
  string(APPEND content "quillbox=$<TARGET_FILE:tav_quillbox>\nuninstall=$<TARGET_FILE:tav_uninstall>\n")
  string(APPEND content "setup=$<TARGET_FILE:tavqbx21>\nsetup_limit=${TAV_SETUP_SIZE_LIMIT}\n")
  string(APPEND content "pmcs=${pmcs}\ntavzip=${tavzip}\n")
  foreach(file IN LISTS files)
    string(APPEND content "member=${file}\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/size-table-inputs.txt CONTENT "${content}")
  add_custom_target(size_table ALL
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/sizes.sh --report ${CMAKE_BINARY_DIR}
    VERBATIM)
  add_dependencies(size_table unzdll zipdll tav_quillbox tav_uninstall tavqbx21)
endfunction()
