# vx_add_test(<test> ...): the one way a test is declared, in the test folder of the layer it tests.
#
#   vx_add_test(<test> SOURCES <source>... [LIBS <library>...] [DEPENDS <target>...] [EXECUTABLE <name>]
#               [ENV <VAR=value>...] [ARGS <arg>...] [SERIAL])
#       A GoogleTest executable (with gtest_main; statically linked on Windows), named
#       vx_<test>_tests unless EXECUTABLE names it, and the CTest test <test> that runs it.
#       DEPENDS: programs the test starts, built first.
#   vx_add_test(<test> PART_OF <other test> SOURCES <source>... [LIBS <library>...])
#       Sources of another layer's folder that join the executable of <other test> (which may be
#       declared later, in a higher layer's folder); <test> only names the part.
#   vx_add_test(<test> RUN <other test> [ENV ...] [ARGS ...] [SERIAL])
#       Another run of the executable of <other test> (another filter, another code page).
#   vx_add_test(<test> COMMAND <command> [<arg>...] [WORKING_DIRECTORY <folder>] [SERIAL]
#               [TIMEOUT <seconds>] [LABELS <label>...])
#       A test that runs a command: a script reading back what the program left.
#
# A Windows executable runs under CTest's emulator (tools/wine-run.sh); with ENV, `env` sets the
# variables and runs tools/wine-run.sh itself, since CTest puts nothing in front of its emulator.
# SERIAL: the test needs the Wine session to itself (its C:\ trace file, the instance mutex, the
# window title).

function(vx_add_test test)
  cmake_parse_arguments(PARSE_ARGV 1 T "SERIAL" "EXECUTABLE;PART_OF;RUN;TIMEOUT;WORKING_DIRECTORY"
                        "SOURCES;LIBS;DEPENDS;ENV;ARGS;COMMAND;LABELS")
  if(T_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vx_add_test(${test}): unknown arguments ${T_UNPARSED_ARGUMENTS}")
  endif()
  if(T_PART_OF)
    _vx_test_part(${test} "${T_PART_OF}" "${T_SOURCES}" "${T_LIBS}")
    return()
  endif()
  if(T_COMMAND)
    if(NOT T_WORKING_DIRECTORY)
      set(T_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    endif()
    add_test(NAME ${test} COMMAND ${T_COMMAND} WORKING_DIRECTORY ${T_WORKING_DIRECTORY})
  elseif(T_RUN)
    get_property(executable GLOBAL PROPERTY VX_TEST_EXECUTABLE_${T_RUN})
    if(NOT executable)
      message(FATAL_ERROR "vx_add_test(${test}): RUN ${T_RUN} names no test declared before it")
    endif()
    _vx_test_run(${test} ${executable} "${T_ENV}" "${T_ARGS}")
  elseif(T_SOURCES)
    set(executable vx_${test}_tests)
    if(T_EXECUTABLE)
      set(executable ${T_EXECUTABLE})
    endif()
    _vx_test_executable(${test} ${executable} "${T_SOURCES}" "${T_LIBS}" "${T_DEPENDS}")
    _vx_test_run(${test} ${executable} "${T_ENV}" "${T_ARGS}")
  else()
    message(FATAL_ERROR "vx_add_test(${test}): SOURCES, PART_OF, RUN or COMMAND needed")
  endif()
  if(T_SERIAL)
    set_tests_properties(${test} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(T_TIMEOUT)
    set_tests_properties(${test} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
  if(T_LABELS)
    set_tests_properties(${test} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

function(_vx_test_executable test executable sources libs depends)
  add_executable(${executable} ${sources})
  vx_target_defaults(${executable})
  target_link_libraries(${executable} PRIVATE ${libs} GTest::gtest_main)
  if(WIN32)
    vx_static_runtime(${executable})
  endif()
  if(depends)
    add_dependencies(${executable} ${depends})
  endif()
  set_property(GLOBAL PROPERTY VX_TEST_EXECUTABLE_${test} ${executable})
endfunction()

function(_vx_test_run test executable env args)
  if(env)
    add_test(NAME ${test} COMMAND env ${env} ${PROJECT_SOURCE_DIR}/tools/wine-run.sh
             $<TARGET_FILE:${executable}> ${args})
  else()
    add_test(NAME ${test} COMMAND ${executable} ${args})
  endif()
endfunction()

# A part joins its executable once every folder has been read, so that a lower layer's folder can
# add to an executable that a higher one declares.
function(_vx_test_part part other sources libs)
  if(NOT sources)
    message(FATAL_ERROR "vx_add_test(${part}): PART_OF needs SOURCES")
  endif()
  list(TRANSFORM sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/$]")
  cmake_language(EVAL CODE "
    cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL _vx_join_part [[${part}]] [[${other}]]
                   [[${sources}]] [[${libs}]])")
endfunction()

function(_vx_join_part part other sources libs)
  get_property(executable GLOBAL PROPERTY VX_TEST_EXECUTABLE_${other})
  if(NOT executable)
    message(FATAL_ERROR "vx_add_test(${part}): PART_OF ${other} names no test with an executable")
  endif()
  target_sources(${executable} PRIVATE ${sources})
  if(libs)
    target_link_libraries(${executable} PRIVATE ${libs})
  endif()
endfunction()
