# Delay-loaded system DLLs: the program links import libraries that load a DLL on its first
# call instead of at process start, so start-up maps only what the window needs.
#
#   vx_delay_load(TARGET dll...)
# Each DLL's delay-load library is made at build time from the toolchain's own import library
# (its full export list, so no list is kept here) and is found before the ordinary one by the
# target's link, which names the library as usual (e.g. shell32).
set(VX_DELAYLOAD_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/make-delay-lib.cmake)

function(vx_delay_load target)
  set(folder ${PROJECT_BINARY_DIR}/delayload)
  set(libraries)
  foreach(dll ${ARGN})
    find_library(VX_IMPORT_LIB_${dll} ${dll} REQUIRED)
    set(output ${folder}/lib${dll}.a)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DARCH=${CMAKE_SYSTEM_PROCESSOR}
              -DDLL=${dll} -DIMPORT_LIB=${VX_IMPORT_LIB_${dll}} -DOUTPUT=${output} -P ${VX_DELAYLOAD_SCRIPT}
      DEPENDS ${VX_DELAYLOAD_SCRIPT}
      COMMENT "Making the delay-load library of ${dll}.dll"
      VERBATIM)
    list(APPEND libraries ${output})
  endforeach()
  add_custom_target(${target}_delayload DEPENDS ${libraries})
  add_dependencies(${target} ${target}_delayload)
  target_link_directories(${target} BEFORE PRIVATE ${folder})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})
endfunction()
