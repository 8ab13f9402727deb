# The bundled sample drawn in one picture, build/sample-preview.png, for a person to look at
# before a change of the sample is committed; a sample with an error fails the build.
file(GLOB sample_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/sample/ris/*)
set(sample_preview ${CMAKE_BINARY_DIR}/sample-preview.png)
add_custom_command(OUTPUT ${sample_preview}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:anthora> --preview --force ${PROJECT_SOURCE_DIR}/sample ${sample_preview}
  DEPENDS anthora anthora-authoring ${sample_files}
  COMMENT "Drawing the bundled sample in ${sample_preview}" VERBATIM)
add_custom_target(sample_preview ALL DEPENDS ${sample_preview})
