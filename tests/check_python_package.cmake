# SPDX-License-Identifier: MIT
# Writes the zevra package's generated modules from the driver's tables (TABLES)
# into OUT and fails when the package's copies (PACKAGE) differ.
execute_process(COMMAND ${PYTHON} ${GENERATOR} ${TABLES} ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${status}")
endif()
set(stale "")
foreach(module _driver.py _enums.py _prototypes.py _statuses.py)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${module} ${PACKAGE}/${module}
                  RESULT_VARIABLE differs)
  if(differs)
    list(APPEND stale python/zevra/${module})
  endif()
endforeach()
if(stale)
  string(REPLACE ";" ", " stale "${stale}")
  message(FATAL_ERROR "${stale} out of date with the driver's tables; regenerate with\n"
                      "  tools/reference-docs/update-python-package")
endif()
message(STATUS "the package's generated modules match the tables")
