# SPDX-License-Identifier: MIT
# Run by cpack before it builds a package (and by the tests with cmake -P): the
# tools without which CPack's DEB generator quietly makes a broken package
# (no Depends without dpkg-shlibdeps, nothing found to strip or scan without
# file) must be there, or packaging stops and says what to install.
set(missing "")
foreach(tool IN ITEMS dpkg-shlibdeps file)
  find_program(found_${tool} ${tool} NO_CACHE)
  if(NOT found_${tool})
    list(APPEND missing ${tool})
  endif()
endforeach()
if(missing)
  list(JOIN missing ", " names)
  message(FATAL_ERROR "packaging needs ${names}: install them with scripts/install-deps.sh build "
                      "(Debian packages dpkg-dev and file)")
endif()
