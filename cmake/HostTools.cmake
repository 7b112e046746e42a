# Host tools: programs of ours that the build runs on the build machine (the
# window description compiler descc, the archive maker tavzip, pesum, which
# sets the setup program's checksum). A native tree builds them itself; a
# Windows tree cannot run its own, so it takes them from a host tree's bin
# folder, TAV_HOST_BIN, which scripts/build.sh builds first and passes in.
set(TAV_HOST_BIN "" CACHE PATH "bin folder of a native build tree, whose host tools a Windows build runs")

if(WIN32)
  enable_language(RC)
endif()

# tav_host_tool(var name): var := what runs host tool `name` in
# add_custom_command's COMMAND and DEPENDS: the tool's target in a native
# tree (CMake builds it first), its file in TAV_HOST_BIN in a cross tree.
function(tav_host_tool var name)
  if(CMAKE_CROSSCOMPILING)
    if(NOT TAV_HOST_BIN)
      message(FATAL_ERROR "This cross build runs the host tool ${name}: configure it with "
                          "-DTAV_HOST_BIN=<native build tree>/bin (scripts/build.sh does)")
    endif()
    set(${var} ${TAV_HOST_BIN}/${name} PARENT_SCOPE)
  else()
    set(${var} ${name} PARENT_SCOPE)
  endif()
endfunction()

# tav_embed_description(target TEXT Form.txt NAME TForm1 [FILES dir DEPENDS
# file...]): compiles the window description's text form at build time
# (again whenever the text, a file it names, or descc changes) and links the
# binary form into the Windows target as the RCDATA resource NAME. The files
# of its file sources are taken from FILES (descc --files); list them, or
# what makes them, in DEPENDS; NAME.bin.carried beside the compiled form
# lists them with the size of what was stored. Descriptions are stored packed
# (descc --pack): their pictures, and a description that carries no files
# as a whole, as PMCS10 containers, which the window layer restores; one
# that carries files is otherwise read where it lies. A native tree only
# compiles it, which checks the text.
function(tav_embed_description target)
  cmake_parse_arguments(D "" "TEXT;NAME;FILES" "DEPENDS" ${ARGN})
  if(NOT D_TEXT OR NOT D_NAME)
    message(FATAL_ERROR "tav_embed_description(${target} TEXT file NAME resource [FILES dir DEPENDS file...])")
  endif()
  get_filename_component(text ${D_TEXT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/descriptions/${target})
  set(binary ${folder}/${D_NAME}.bin)
  set(files)
  if(D_FILES)
    # ${binary}.carried lists what the file sources store (scripts/sizes.sh).
    set(files --files ${D_FILES} --carried ${binary}.carried)
  endif()
  tav_host_tool(descc descc)
  add_custom_command(OUTPUT ${binary}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${descc} compile ${text} ${binary} --depfile ${binary}.d --pack ${files}
    DEPENDS ${text} ${descc} ${D_DEPENDS}
    DEPFILE ${binary}.d
    COMMENT "Compiling window description ${D_NAME} of ${target}"
    VERBATIM)
  if(WIN32)
    # One resource script per target with all its descriptions: GNU ld
    # merges the resources of several objects in an order that breaks the
    # name lookup of Windows and Wine ("TForm1" is not found beside "Tf_Help").
    set(rc ${folder}/${target}.rc)
    get_property(entries TARGET ${target} PROPERTY TAV_DESCRIPTION_RC)
    get_property(binaries TARGET ${target} PROPERTY TAV_DESCRIPTION_BINARIES)
    if(NOT binaries)
      target_sources(${target} PRIVATE ${rc})
    endif()
    string(APPEND entries "${D_NAME} RCDATA \"${binary}\"\n")
    list(APPEND binaries ${binary})
    set_property(TARGET ${target} PROPERTY TAV_DESCRIPTION_RC "${entries}")
    set_property(TARGET ${target} PROPERTY TAV_DESCRIPTION_BINARIES "${binaries}")
    file(CONFIGURE OUTPUT ${rc} CONTENT "${entries}")
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${binaries}")
  else()
    add_custom_target(${target}_${D_NAME}_description DEPENDS ${binary})
    add_dependencies(${target} ${target}_${D_NAME}_description)
  endif()
endfunction()
