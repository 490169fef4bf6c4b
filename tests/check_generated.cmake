# SPDX-License-Identifier: MIT
# Regenerates a file made from the driver's tables (GENERATOR HEADER > OUT) and
# fails when the checked-in copy EXPECTED differs.
execute_process(COMMAND ${GENERATOR} ${HEADER} OUTPUT_FILE ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${status}")
endif()
get_filename_component(source ${HEADER} DIRECTORY)
get_filename_component(source ${source} DIRECTORY)
file(RELATIVE_PATH expected_name ${source} ${EXPECTED})
get_filename_component(generator_name ${GENERATOR} NAME)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE differs)
if(differs)
  if(EXPECTED STREQUAL HEADER)  # the generator reads the file it regenerates
    set(command "build/bin/${generator_name} include/ZEVRA.h > ZEVRA.h.new && mv ZEVRA.h.new ${expected_name}")
  else()
    set(command "build/bin/${generator_name} include/ZEVRA.h > ${expected_name}")
  endif()
  message(FATAL_ERROR "${expected_name} is out of date with the driver's tables; regenerate it with\n  ${command}")
endif()
message(STATUS "${expected_name} matches the tables")
