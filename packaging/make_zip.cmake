# Script mode (cmake -P): stages telvane.exe and readme.txt and zips them, both at the
# top of the archive. Arguments: EXE, README, STAGE, ZIP, and STRIP (may be empty).
foreach(required EXE README STAGE ZIP)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "make_zip.cmake needs -D${required}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
configure_file(${EXE} ${STAGE}/telvane.exe COPYONLY)
if(STRIP)
  execute_process(COMMAND ${STRIP} ${STAGE}/telvane.exe RESULT_VARIABLE stripped)
  if(NOT stripped EQUAL 0)
    message(WARNING "could not strip telvane.exe; packing it as built")
  endif()
endif()

# CR LF, so that every Windows editor shows the lines.
file(READ ${README} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${STAGE}/readme.txt "${text}")

get_filename_component(zipDir ${ZIP} DIRECTORY)
file(MAKE_DIRECTORY ${zipDir})
file(REMOVE ${ZIP})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip telvane.exe readme.txt
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE packed)
if(NOT packed EQUAL 0)
  message(FATAL_ERROR "could not write ${ZIP}")
endif()
