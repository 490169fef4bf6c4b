# SPDX-License-Identifier: MIT
# The Windows build (cross-built with MinGW-w64, see scripts/build-windows.sh):
# our IVI shared components as DLLs named as the IVI Foundation's are, each with
# a version resource, its exports listed once in a .def made from its public
# header, an import library for MinGW (.dll.a) and one for other compilers
# (.lib), and the C and C++ runtimes linked in.
enable_language(RC)

set(ZEVRA_COMPANY_NAME "The ZEVRA developers")
set(ZEVRA_PUGIXML_SOURCE "" CACHE PATH "pugixml's source tree (Debian's source package, unpacked)")
if(NOT EXISTS "${ZEVRA_PUGIXML_SOURCE}/src/pugixml.cpp")
  message(FATAL_ERROR "ZEVRA_PUGIXML_SOURCE must name pugixml's source tree (scripts/build-windows.sh fetches it)")
endif()
find_program(ZEVRA_DLLTOOL x86_64-w64-mingw32-dlltool REQUIRED)

# pugixml is compiled in, as Debian ships no Windows build of it.
add_library(pugixml STATIC ${ZEVRA_PUGIXML_SOURCE}/src/pugixml.cpp)
target_include_directories(pugixml SYSTEM PUBLIC ${ZEVRA_PUGIXML_SOURCE}/src)
target_compile_options(pugixml PRIVATE -w)

# Writes ${CMAKE_BINARY_DIR}/<dll>.def listing the functions `header` declares
# after its export macro `macro` whose names start with `prefix`.
function(zevra_def_from_header dll header macro prefix)
  file(READ ${header} declarations)
  string(REGEX MATCHALL "${macro}[ \t\n]+[A-Za-z_]+[ \t\n]+(_VI_FUNC[ \t\n]+)?${prefix}[A-Za-z0-9_]*[ \t\n]*\\("
         calls "${declarations}")
  set(names "")
  foreach(call IN LISTS calls)
    string(REGEX REPLACE ".*[ \t\n](${prefix}[A-Za-z0-9_]*)[ \t\n]*\\($" "\\1" name "${call}")
    list(APPEND names ${name})
  endforeach()
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  list(JOIN names "\n  " exports)
  file(WRITE ${CMAKE_BINARY_DIR}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n  ${exports}\n")
endfunction()

# Makes `target` a Windows DLL exporting the functions `header` declares (after
# `macro`) whose names start with `prefix`.
function(zevra_windows_dll target header macro prefix description)
  zevra_def_from_header(${target} ${header} ${macro} ${prefix})
  set(def ${CMAKE_BINARY_DIR}/${target}.def)

  set(ZEVRA_RC_DESCRIPTION "${description}")
  set(ZEVRA_RC_NAME ${target})
  set(ZEVRA_RC_FILENAME ${target}.dll)
  set(ZEVRA_RC_FILETYPE VFT_DLL)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/version.rc.in ${CMAKE_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${def} ${CMAKE_BINARY_DIR}/${target}.rc)
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".dll.a")
  target_link_options(${target} PRIVATE -static -Wl,--no-undefined)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${ZEVRA_DLLTOOL} -d ${def} -D ${target}.dll -l ${CMAKE_BINARY_DIR}/lib/${target}.lib
    COMMENT "import library ${target}.lib")
endfunction()

# Any VISA: the driver imports visa64.dll by name, through an import library
# made from our visa.h, so that it binds to whichever visa64.dll the machine has.
zevra_def_from_header(visa64 ${PROJECT_SOURCE_DIR}/platform/visa/include/visa.h VI_EXPORT vi)
set(ZEVRA_VISA_IMPORT_LIBRARY ${CMAKE_BINARY_DIR}/lib/libvisa64.dll.a)
add_custom_command(OUTPUT ${ZEVRA_VISA_IMPORT_LIBRARY}
  COMMAND ${ZEVRA_DLLTOOL} -d ${CMAKE_BINARY_DIR}/visa64.def -D visa64.dll -l ${ZEVRA_VISA_IMPORT_LIBRARY}
  DEPENDS ${PROJECT_SOURCE_DIR}/platform/visa/include/visa.h
  COMMENT "import library for visa64.dll")
add_custom_target(visa64_import_library DEPENDS ${ZEVRA_VISA_IMPORT_LIBRARY})
add_library(visa SHARED IMPORTED GLOBAL)
set_target_properties(visa PROPERTIES IMPORTED_IMPLIB ${ZEVRA_VISA_IMPORT_LIBRARY}
                                      INTERFACE_INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/platform/visa/include)
add_dependencies(visa visa64_import_library)
