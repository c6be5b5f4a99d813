# The download: `cmake --build <build> --target release` makes
# <build>/dist/telvane-<version>.zip holding telvane.exe and readme.txt; the version is
# the project's (CMakeLists.txt), which the About box shows too.
set(TELVANE_RELEASE_ZIP ${CMAKE_BINARY_DIR}/dist/telvane-${PROJECT_VERSION}.zip)
add_custom_command(
  OUTPUT ${TELVANE_RELEASE_ZIP}
  COMMAND ${CMAKE_COMMAND}
          -DEXE=$<TARGET_FILE:telvane>
          -DREADME=${CMAKE_CURRENT_LIST_DIR}/readme.txt
          -DSTAGE=${CMAKE_BINARY_DIR}/release-stage
          -DZIP=${TELVANE_RELEASE_ZIP}
          -DSTRIP=${CMAKE_STRIP}
          -P ${CMAKE_CURRENT_LIST_DIR}/make_zip.cmake
  DEPENDS telvane ${CMAKE_CURRENT_LIST_DIR}/readme.txt ${CMAKE_CURRENT_LIST_DIR}/make_zip.cmake
  COMMENT "Packing ${TELVANE_RELEASE_ZIP}"
  VERBATIM)
add_custom_target(release DEPENDS ${TELVANE_RELEASE_ZIP})
