# Script mode (cmake -P), a step of every Release build: fails when a file of the
# per-byte code (per_byte_sources.cmake) is compiled without its flag as the last -O,
# whatever target or folder the flag was meant to come from.
# Arguments: ROOT (the source tree), COMMANDS (compile_commands.json), STAMP.
cmake_minimum_required(VERSION 3.19)
include(${CMAKE_CURRENT_LIST_DIR}/per_byte_sources.cmake)
telvane_per_byte_sources(wanted ${ROOT})

file(READ ${COMMANDS} json)
string(JSON count LENGTH "${json}")
set(compiled "")
set(faults "")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON file GET "${json}" ${i} file)
  file(TO_CMAKE_PATH "${file}" file)
  list(FIND wanted "${file}" at)
  if(at EQUAL -1)
    continue()
  endif()
  list(APPEND compiled "${file}")
  string(JSON command GET "${json}" ${i} command)
  string(REGEX MATCHALL "(^| )-O[^ ]*" levels "${command}")
  set(level "no -O")
  if(levels)
    list(GET levels -1 level)
    string(STRIP "${level}" level)
  endif()
  if(NOT level STREQUAL TELVANE_PER_BYTE_FLAG)
    list(APPEND faults "${file} (${level})")
  endif()
endforeach()

# A listed file that is not compiled while other files of its folder are has been
# moved out of reach of the flag (a folder the build leaves out is fine: the host's
# compiler builds no window code).
foreach(file ${wanted})
  list(FIND compiled "${file}" at)
  if(NOT at EQUAL -1)
    continue()
  endif()
  get_filename_component(folder "${file}" DIRECTORY)
  foreach(other ${compiled})
    get_filename_component(otherFolder "${other}" DIRECTORY)
    if(otherFolder STREQUAL folder)
      list(APPEND faults "${file} (not compiled)")
      break()
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " faults)
  message(FATAL_ERROR "The per-byte code must be compiled with ${TELVANE_PER_BYTE_FLAG} "
                      "in Release builds; these are not:\n  ${faults}")
endif()
file(TOUCH ${STAMP})
