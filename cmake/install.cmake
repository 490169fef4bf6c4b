# SPDX-License-Identifier: MIT
# Installation: a tree that runs under any prefix ($ORIGIN-relative run paths),
# headers under include/zevra (so our visa.h never shadows another vendor's),
# pkg-config files, a CMake package, the documentation and examples, and the
# driver registered in the master configuration store when that is the live
# system's and writable. Every file belongs to one component, which is one
# Debian package (package.cmake): libraries, development, programs, python.
include(CMakePackageConfigHelpers)

set_target_properties(qdx-emulator ivi-config zevra zevra-gateway PROPERTIES INSTALL_RPATH "${ZEVRA_PROGRAM_RPATH}")
set(ZEVRA_INCLUDE_SUBDIR ${CMAKE_INSTALL_INCLUDEDIR}/zevra)
install(TARGETS ZEVRA_64 visa EXPORT ZEVRATargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT libraries NAMELINK_COMPONENT development
        INCLUDES DESTINATION ${ZEVRA_INCLUDE_SUBDIR})
install(TARGETS IviCShared_64 IviConfigServerCAPI_64
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT libraries NAMELINK_COMPONENT development)
install(TARGETS qdx-emulator ivi-config zevra zevra-gateway RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
install(FILES include/ZEVRA.h platform/visa/include/visa.h platform/visa/include/visatype.h
              platform/ivisession/include/IviSession.h platform/iviconfig/include/IviConfigServer.h
        DESTINATION ${ZEVRA_INCLUDE_SUBDIR} COMPONENT development)

# find_package(ZEVRA CONFIG): ZEVRA::ZEVRA (the driver) and ZEVRA::visa.
set(ZEVRA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZEVRA)
install(EXPORT ZEVRATargets NAMESPACE ZEVRA:: DESTINATION ${ZEVRA_CMAKE_DIR} COMPONENT development)
configure_package_config_file(cmake/ZEVRAConfig.cmake.in ${CMAKE_BINARY_DIR}/cmake/ZEVRAConfig.cmake
                              INSTALL_DESTINATION ${ZEVRA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/ZEVRAConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/cmake/ZEVRAConfig.cmake ${CMAKE_BINARY_DIR}/cmake/ZEVRAConfigVersion.cmake
        DESTINATION ${ZEVRA_CMAKE_DIR} COMPONENT development)

# pkg-config files locate the prefix from where they lie, so a tree moved or
# installed under any prefix still answers with its own paths.
set(ZEVRA_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ZEVRA_PKGCONFIG_TO_PREFIX /prefix/${ZEVRA_PKGCONFIG_DIR} /prefix)
string(REGEX REPLACE "/$" "" ZEVRA_PKGCONFIG_TO_PREFIX "${ZEVRA_PKGCONFIG_TO_PREFIX}")
foreach(pc IN ITEMS zevra zevra-visa)
  configure_file(cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc DESTINATION ${ZEVRA_PKGCONFIG_DIR} COMPONENT development)
endforeach()

# The licence, in Debian's machine-readable copyright format, made from LICENSE
# (its body indented one space, blank lines as " .") so there is one text only.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE ZEVRA_LICENSE_TEXT)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" ZEVRA_LICENSE_BODY "${ZEVRA_LICENSE_TEXT}")
string(REGEX REPLACE "\n+$" "" ZEVRA_LICENSE_BODY "${ZEVRA_LICENSE_BODY}")
string(REPLACE "\n\n" "\n.\n" ZEVRA_LICENSE_BODY "${ZEVRA_LICENSE_BODY}")
string(REPLACE "\n" "\n " ZEVRA_LICENSE_BODY " ${ZEVRA_LICENSE_BODY}")
configure_file(packaging/debian/copyright.in ${CMAKE_BINARY_DIR}/packaging/debian/copyright @ONLY)

# Debian keeps a copyright file and the changelog in each package's own
# documentation directory; the programs' one holds the documentation proper.
set(ZEVRA_DOC_COMPONENTS libraries development programs python)
set(ZEVRA_DOC_PACKAGES libzevra1 libzevra-dev zevra python3-zevra)
# The project has no mail domain of its own yet: whoever publishes packages sets
# the address they answer at.
set(ZEVRA_PACKAGE_MAINTAINER "ZEVRA developers <zevra-maintainers@zevra.invalid>"
    CACHE STRING "Maintainer of the Debian packages, as 'Name <address>'")
configure_file(packaging/debian/changelog.in ${CMAKE_BINARY_DIR}/packaging/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/debian/changelog.gz
                   COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/packaging/debian/changelog
                           > ${CMAKE_BINARY_DIR}/packaging/debian/changelog.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/packaging/debian/changelog)
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/debian/changelog.gz)
foreach(component package IN ZIP_LISTS ZEVRA_DOC_COMPONENTS ZEVRA_DOC_PACKAGES)
  set(docdir ${CMAKE_INSTALL_DATADIR}/doc/${package})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/debian/copyright ${CMAKE_BINARY_DIR}/packaging/debian/changelog.gz
          DESTINATION ${docdir} COMPONENT ${component})
  # Lintian's overrides, each with its reason, travel with the package they are about.
  if(EXISTS ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides/${package})
    install(FILES packaging/debian/lintian-overrides/${package}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT ${component})
  endif()
endforeach()

# The README's links into docs/ and examples/ resolve in the installed tree as in the source.
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT programs)
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs COMPONENT programs)
install(FILES examples/visa_identify.c examples/open_by_logical_name.c examples/output_and_list.c
              examples/status_and_errors.c examples/list_steps.csv packaging/etc/visa.conf
              packaging/etc/gateway.conf
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT programs)

# The Python package where Debian's interpreter looks under /usr; under another
# prefix, PYTHONPATH names <prefix>/lib/python3/dist-packages. It finds the
# driver library from its own place in the tree.
# COMPLIANCE.md links to docs/compliance.md for the wheel; the documentation installs that.
install(DIRECTORY python/zevra DESTINATION lib/python3/dist-packages COMPONENT python PATTERN __pycache__ EXCLUDE
        PATTERN COMPLIANCE.md EXCLUDE)
install(PROGRAMS examples/python/sweep.py DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/python COMPONENT programs)

configure_file(cmake/register_driver.cmake.in ${CMAKE_BINARY_DIR}/cmake/register_driver.cmake @ONLY)
install(SCRIPT ${CMAKE_BINARY_DIR}/cmake/register_driver.cmake COMPONENT programs)

# USBTMC instruments for the logged-in user and the plugdev group (udev reads
# lib/udev/rules.d under the package's /usr prefix on a merged-/usr system).
install(FILES packaging/udev/70-zevra-usbtmc.rules DESTINATION lib/udev/rules.d COMPONENT programs)

