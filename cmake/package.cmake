# SPDX-License-Identifier: MIT
# Debian packages from the install rules (`cpack -G DEB` in the build
# directory), one per install component:
#   libzevra1      the four shared libraries, stripped, with shlibs and an ldconfig trigger
#   libzevra-dev   headers, .so links, pkg-config files, the CMake package
#   zevra          the programs, their manual pages and completion, udev rules,
#                  /etc/zevra/visa.conf, the qdx-emulator unit, the documentation;
#                  registers the driver in the master store
#   python3-zevra  the Python package (architecture all)
# Depends come from the binaries (dpkg-shlibdeps); there are no debug symbol packages.
set(CPACK_PACKAGE_NAME zevra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZEVRA_PACKAGE_MAINTAINER}")
# Each package's description carries its own synopsis line (below); an empty
# common summary keeps CPack from putting the project's before it. CPack
# indents the lines and marks the blank one as a paragraph break.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Only libzevra1 has libraries, so only it gets a shlibs file.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package_checks.cmake)
# Our own libraries are found in the build tree; the dependency on them is the
# component dependency below (libzevra1 of this very version).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})

set(ZEVRA_PACKAGE_BINDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
set(ZEVRA_PACKAGE_LIBDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
set(ZEVRA_PACKAGE_STATE_DIR /var/lib/zevra)
set(ZEVRA_PACKAGE_PYTHONDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/lib/python3/dist-packages)

# What only the system package places outside its prefix: the VISA library's
# configuration where the library reads it (a conffile), and systemd units for
# a shared emulator and the gateway (installed, never enabled). A prefix install leaves both
# out; the configuration's commented example is among the documented examples.
foreach(unit IN ITEMS qdx-emulator zevra-gateway)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/systemd/${unit}.service.in
                 ${CMAKE_BINARY_DIR}/packaging/systemd/${unit}.service @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/systemd/${unit}.service DESTINATION /lib/systemd/system
          COMPONENT system_files EXCLUDE_FROM_ALL)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/etc/visa.conf ${PROJECT_SOURCE_DIR}/packaging/etc/gateway.conf
        DESTINATION /etc/zevra COMPONENT system_files EXCLUDE_FROM_ALL)

foreach(script IN ITEMS postinst prerm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/${script}.in
                 ${CMAKE_BINARY_DIR}/packaging/debian/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/debian/python3-zevra)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/python3-zevra.prerm.in
               ${CMAKE_BINARY_DIR}/packaging/debian/python3-zevra/prerm @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)

set(CPACK_COMPONENTS_ALL libraries development programs system_files python)
# The system files go into the programs' package.
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  set(CPACK_COMPONENT_${upper}_GROUP ${component})
endforeach()
set(CPACK_COMPONENT_SYSTEM_FILES_GROUP programs)

set(CPACK_DEBIAN_LIBRARIES_PACKAGE_NAME libzevra1)
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARIES_DESCRIPTION "IVI-C driver and VISA library for QDX power supplies (runtime)
ZEVRA is an IVI-C driver for the QDX series of multi-channel programmable DC
power supplies, with the instrument stack under it.

This package holds the shared libraries: the driver (libZEVRA_64), a VISA
library speaking TCP/IP SOCKET, VXI-11, HiSLIP, serial and USBTMC (libvisa),
and the IVI session services and configuration server they use.")
# USB instruments need libusb and mDNS discovery needs Avahi; the VISA library
# loads either when first asked and does without it when it is not there.
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_RECOMMENDS "libusb-1.0-0, libavahi-client3, avahi-daemon")
# The ldconfig trigger refreshes the linker cache when the libraries come or
# go: without it ctypes.util.find_library("visa"), and so a stock
# pyvisa.ResourceManager(), would not find libvisa.so.1 until the next ldconfig.
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/triggers)

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libzevra-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS libraries)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "IVI-C driver and VISA library for QDX power supplies (development)
ZEVRA is an IVI-C driver for the QDX series of multi-channel programmable DC
power supplies, with the instrument stack under it.

This package holds what building against the driver and the VISA library
needs: headers (under /usr/include/zevra, so they never shadow another
vendor's visa.h), the .so links, pkg-config files (zevra, zevra-visa) and a
CMake package (find_package(ZEVRA)).")

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME zevra)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SHLIBDEPS ON)
set(CPACK_COMPONENT_PROGRAMS_DEPENDS libraries)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SUGGESTS "python3-zevra")
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "front panel, emulator and tools for QDX power supplies
ZEVRA is an IVI-C driver for the QDX series of multi-channel programmable DC
power supplies, with the instrument stack under it.

This package holds the programs: zevra, a command-line front panel (set,
measure, log, lists, a shell); ivi-config, which edits IVI configuration
stores; and qdx-emulator, which stands in for the instrument over SOCKET,
VXI-11, HiSLIP and a serial line. It registers the driver in the master IVI
configuration store, gives ordinary users USBTMC instruments through udev,
and carries the documentation.")
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/debian/postinst
                                                ${CMAKE_BINARY_DIR}/packaging/debian/prerm
                                                ${PROJECT_SOURCE_DIR}/packaging/debian/conffiles)

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-zevra)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_COMPONENT_PYTHON_DEPENDS libraries)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Python access to QDX power supplies through the ZEVRA driver
ZEVRA is an IVI-C driver for the QDX series of multi-channel programmable DC
power supplies, with the instrument stack under it.

This package holds the zevra Python package: the driver's functions and
attributes as Python methods and properties, errors as exceptions.")
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/debian/python3-zevra/prerm)
include(CPack)
