# Regenerates the reference documentation and fails when docs/reference.md differs.
execute_process(COMMAND ${GENERATOR} ${HEADER} OUTPUT_FILE ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${DOCS} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "docs/reference.md is out of date with the driver's tables; regenerate it with\n"
                      "  build/bin/zevra-reference-docs include/ZEVRA.h > docs/reference.md")
endif()
message(STATUS "docs/reference.md matches the tables")
