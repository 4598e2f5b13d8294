# The one way a Windows program of the suite is declared:
#
#   ovrin_windows_program(NAME (GUI | CONSOLE) SOURCES files... [RESOURCES files.rc...] [LIBS libs...]
#
# Wide entry point (wWinMain or wmain, -municode); the application manifest that selects common
# controls 6; comctl32 linked; .rc files compiled as UTF-8 (each also says #pragma code_page(65001)).
# A program that links the dictionary engine receives the engine's compare tables as its own
# resources through the engine's target.
set(OVRIN_PROGRAM_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/windows/Program.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/Manifest.rc.in ${CMAKE_BINARY_DIR}/ovrin-manifest/Manifest.rc @ONLY)
set(OVRIN_PROGRAM_MANIFEST_RC ${CMAKE_BINARY_DIR}/ovrin-manifest/Manifest.rc)

function(ovrin_windows_program name)
  cmake_parse_arguments(ARG "GUI;CONSOLE" "" "SOURCES;RESOURCES;LIBS" ${ARGN})
  if(NOT WIN32)
    message(FATAL_ERROR "ovrin_windows_program(${name}): Windows build only")
  endif()
  if(ARG_GUI EQUAL ARG_CONSOLE)
    message(FATAL_ERROR "ovrin_windows_program(${name}): say GUI or CONSOLE")
  endif()
  set(kind "")
  if(ARG_GUI)
    set(kind WIN32)
  endif()
  add_executable(${name} ${kind} ${ARG_SOURCES} ${ARG_RESOURCES} ${OVRIN_PROGRAM_MANIFEST_RC})
  set_source_files_properties(${ARG_RESOURCES} PROPERTIES COMPILE_OPTIONS "-c;65001")
  set_property(SOURCE ${OVRIN_PROGRAM_MANIFEST_RC} APPEND PROPERTY OBJECT_DEPENDS ${OVRIN_PROGRAM_MANIFEST})
  target_link_options(${name} PRIVATE -municode)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} comctl32)
endfunction()

# ovrin_copy_beside(TARGET MODULE...): keeps copies of the MODULE targets' files beside TARGET's file,
# where its loader finds them (under Wine too). The copies are checked at every build and made only
# when they differ, so a rebuilt module reaches the program even when the program is not relinked.
function(ovrin_copy_beside target first)
  set(files "")
  foreach(module ${first} ${ARGN})
    list(APPEND files $<TARGET_FILE:${module}>)
  endforeach()
  add_custom_target(${target}_${first}_copy
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${files} $<TARGET_FILE_DIR:${target}>
    DEPENDS ${first} ${ARGN}
    VERBATIM)
  add_dependencies(${target} ${target}_${first}_copy)
endfunction()
