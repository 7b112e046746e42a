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
  set(content "unzdll=$<TARGET_FILE:unzdll>\nzipdll=$<TARGET_FILE:zipdll>\n")
  string(APPEND content "quillbox=$<TARGET_FILE:tav_quillbox>\nuninstall=$<TARGET_FILE:tav_uninstall>\n")
  string(APPEND content "setup=$<TARGET_FILE:tavqbx21>\nsetup_limit=${TAV_SETUP_SIZE_LIMIT}\n")
  string(APPEND content "carried_list=${CMAKE_BINARY_DIR}/setup/descriptions/tavqbx21/TForm1.bin.carried\n")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/size-table-inputs.txt CONTENT "${content}")
  add_custom_target(size_table ALL
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/sizes.sh --report ${CMAKE_BINARY_DIR}
    VERBATIM)
  add_dependencies(size_table unzdll zipdll tav_quillbox tav_uninstall tavqbx21)
endfunction()
