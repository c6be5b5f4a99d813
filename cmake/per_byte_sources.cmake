# The code that runs for every received byte: the text rules, the session core and the
# pane writer. -Os costs it 2.5x (ASCII) to 7x (hex dump) in CPU time, so Release
# builds compile it with this flag, and check_per_byte.cmake refuses one that does not.
set(TELVANE_PER_BYTE_FLAG -O2)

function(telvane_per_byte_sources out root)
  file(GLOB files ${root}/src/text/*.cpp ${root}/src/core/*.cpp)
  list(APPEND files ${root}/src/view/output_pane.cpp)
  set(${out} ${files} PARENT_SCOPE)
endfunction()
