# Run before the program is linked: lists, as linker options, the thunk of every delay-loaded function that the
# program's objects call.
#
# Headers that declare a DLL's functions dllimport (wininet.h among them) make the compiler call through the
# import slot directly, so nothing refers to the function's thunk. GNU ld then drops the thunk's code as unused,
# but the slot's initial value points into it: the slot ends up 0 and the first call jumps to address 0. A
# "-u <thunk>" for each function in use keeps every thunk that a slot needs.
#
#   cmake -DNM=<nm> -DDELAY_LIBS=<lib;...> -DINPUTS=<object or library;...> -DOUTPUT=<file> -P delay-keep.cmake
cmake_minimum_required(VERSION 3.20)
foreach(var NM DELAY_LIBS INPUTS OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "delay-keep.cmake: ${var} is not set")
  endif()
endforeach()

# nm_symbols(<out> <nm flag> <line pattern> <files>...): the names of nm's lines that match the pattern ("I "
# for the slots a delay library defines, "U " for the ones an object refers to).
function(nm_symbols out flag pattern)
  set(names)
  foreach(file IN LISTS ARGN)
    execute_process(COMMAND ${NM} ${flag} ${file} OUTPUT_VARIABLE listing ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "${pattern}__imp_[^\n]+" lines "${listing}")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^${pattern}" "" name "${line}")
      list(APPEND names ${name})
    endforeach()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

nm_symbols(slots -g "[0-9a-f]+ I " ${DELAY_LIBS})
nm_symbols(used -u "U " ${INPUTS})
list(REMOVE_DUPLICATES used)

set(options "")
foreach(slot IN LISTS used)
  if(slot IN_LIST slots)
    string(REGEX REPLACE "^__imp_" "" thunk "${slot}")
    string(APPEND options "-u ${thunk}\n")
  endif()
endforeach()
# Written only when it changes, so that an unchanged list does not look like a new input.
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} previous)
else()
  set(previous "<none>")
endif()
if(NOT previous STREQUAL options)
  file(WRITE ${OUTPUT} "${options}")
endif()
