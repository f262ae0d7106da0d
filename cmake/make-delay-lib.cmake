# cmake -DNM= -DDLLTOOL= -DARCH= -DDLL= -DIMPORT_LIB= -DOUTPUT= -P make-delay-lib.cmake
# Lists the functions the import library IMPORT_LIB imports from DLL and writes a delay-load
# library of them to OUTPUT.
execute_process(COMMAND ${NM} ${IMPORT_LIB} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "__imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
list(REMOVE_DUPLICATES imports)
list(SORT imports)
set(definition "LIBRARY ${DLL}.dll\nEXPORTS\n")
foreach(import ${imports})
  string(REGEX REPLACE "^__imp_" "" name "${import}")
  if(ARCH STREQUAL "i686")
    string(REGEX REPLACE "^_" "" name "${name}")  # the C prefix of 32-bit names
  endif()
  string(APPEND definition "${name}\n")
endforeach()
get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(WRITE ${OUTPUT}.def "${definition}")
set(kill_at)
if(ARCH STREQUAL "i686")
  set(kill_at -k)  # stdcall names are imported without their @N
endif()
execute_process(COMMAND ${DLLTOOL} ${kill_at} -d ${OUTPUT}.def -D ${DLL}.dll -y ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
