# SPDX-License-Identifier: MIT
# A Debian package from the install rules: `cpack -G DEB` in the build
# directory. Depends come from the binaries (dpkg-shlibdeps); the maintainer
# scripts register the driver in the master store and unregister it on removal.
set(CPACK_PACKAGE_NAME zevra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "ZEVRA developers <zevra@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries, which the programs and the driver need, come in this package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The zevra Python package is pure Python over the driver library.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS python3)
# The VISA library loads libusb for USB instruments and Avahi for mDNS-advertised ones when
# they are first asked for, and does without either when it is not there.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libusb-1.0-0, libavahi-client3, avahi-daemon")

set(ZEVRA_PACKAGE_BINDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
set(ZEVRA_PACKAGE_LIBDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
set(ZEVRA_PACKAGE_STATE_DIR /var/lib/zevra)
set(ZEVRA_PACKAGE_PYTHONDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/lib/python3/dist-packages)
foreach(script IN ITEMS postinst prerm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/${script}.in
                 ${CMAKE_BINARY_DIR}/packaging/debian/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
endforeach()
# The ldconfig trigger refreshes the linker cache when the package's libraries
# come or go: without it ctypes.util.find_library("visa"), and so a stock
# pyvisa.ResourceManager(), would not find libvisa.so.1 until the next ldconfig.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/debian/postinst
                                       ${CMAKE_BINARY_DIR}/packaging/debian/prerm
                                       ${PROJECT_SOURCE_DIR}/packaging/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package_checks.cmake)
include(CPack)
