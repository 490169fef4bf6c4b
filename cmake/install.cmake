# SPDX-License-Identifier: MIT
# Installation: a tree that runs under any prefix ($ORIGIN-relative run paths),
# headers under include/zevra (so our visa.h never shadows another vendor's),
# pkg-config files, a CMake package, the documentation and examples, and the
# driver registered in the master configuration store when that is the live
# system's and writable.
include(CMakePackageConfigHelpers)

set_target_properties(qdx-emulator ivi-config zevra PROPERTIES INSTALL_RPATH "${ZEVRA_PROGRAM_RPATH}")
set(ZEVRA_INCLUDE_SUBDIR ${CMAKE_INSTALL_INCLUDEDIR}/zevra)
install(TARGETS ZEVRA_64 visa EXPORT ZEVRATargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${ZEVRA_INCLUDE_SUBDIR})
install(TARGETS IviCShared_64 IviConfigServerCAPI_64 LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS qdx-emulator ivi-config zevra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES include/ZEVRA.h platform/visa/include/visa.h platform/visa/include/visatype.h
              platform/ivisession/include/IviSession.h platform/iviconfig/include/IviConfigServer.h
        DESTINATION ${ZEVRA_INCLUDE_SUBDIR})

# find_package(ZEVRA CONFIG): ZEVRA::ZEVRA (the driver) and ZEVRA::visa.
set(ZEVRA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZEVRA)
install(EXPORT ZEVRATargets NAMESPACE ZEVRA:: DESTINATION ${ZEVRA_CMAKE_DIR})
configure_package_config_file(cmake/ZEVRAConfig.cmake.in ${CMAKE_BINARY_DIR}/cmake/ZEVRAConfig.cmake
                              INSTALL_DESTINATION ${ZEVRA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/ZEVRAConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/cmake/ZEVRAConfig.cmake ${CMAKE_BINARY_DIR}/cmake/ZEVRAConfigVersion.cmake
        DESTINATION ${ZEVRA_CMAKE_DIR})

# pkg-config files locate the prefix from where they lie, so a tree moved or
# installed under any prefix still answers with its own paths.
set(ZEVRA_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ZEVRA_PKGCONFIG_TO_PREFIX /prefix/${ZEVRA_PKGCONFIG_DIR} /prefix)
string(REGEX REPLACE "/$" "" ZEVRA_PKGCONFIG_TO_PREFIX "${ZEVRA_PKGCONFIG_TO_PREFIX}")
foreach(pc IN ITEMS zevra zevra-visa)
  configure_file(cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc DESTINATION ${ZEVRA_PKGCONFIG_DIR})
endforeach()

# The licence, in Debian's machine-readable copyright format, made from LICENSE
# (its body indented one space, blank lines as " .") so there is one text only.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE ZEVRA_LICENSE_TEXT)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" ZEVRA_LICENSE_BODY "${ZEVRA_LICENSE_TEXT}")
string(REGEX REPLACE "\n+$" "" ZEVRA_LICENSE_BODY "${ZEVRA_LICENSE_BODY}")
string(REPLACE "\n\n" "\n.\n" ZEVRA_LICENSE_BODY "${ZEVRA_LICENSE_BODY}")
string(REPLACE "\n" "\n " ZEVRA_LICENSE_BODY " ${ZEVRA_LICENSE_BODY}")
configure_file(packaging/debian/copyright.in ${CMAKE_BINARY_DIR}/packaging/debian/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The README's links into docs/ resolve in the installed tree as in the source.
install(FILES docs/troubleshooting.md docs/reference.md docs/zevra-json.schema.json docs/list-chart.svg
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
install(FILES examples/visa_identify.c examples/open_by_logical_name.c examples/output_and_list.c
              examples/status_and_errors.c examples/list_steps.csv
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The Python package where Debian's interpreter looks under /usr; under another
# prefix, PYTHONPATH names <prefix>/lib/python3/dist-packages. It finds the
# driver library from its own place in the tree.
install(DIRECTORY python/zevra DESTINATION lib/python3/dist-packages PATTERN __pycache__ EXCLUDE)
install(PROGRAMS examples/python/sweep.py DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/python)

configure_file(cmake/register_driver.cmake.in ${CMAKE_BINARY_DIR}/cmake/register_driver.cmake @ONLY)
install(SCRIPT ${CMAKE_BINARY_DIR}/cmake/register_driver.cmake)

# USBTMC instruments for the logged-in user and the plugdev group (udev reads
# lib/udev/rules.d under the package's /usr prefix on a merged-/usr system).
install(FILES packaging/udev/70-zevra-usbtmc.rules DESTINATION lib/udev/rules.d)
