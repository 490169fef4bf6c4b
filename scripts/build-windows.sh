#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows DLLs into build-windows/ with Debian's MinGW-w64:
# IviCShared_64.dll and IviConfigServerCAPI_64.dll (pugixml compiled in from
# Debian's source package), their import libraries (.dll.a, .lib) and .def
# files, and the tests scripts/test-windows.sh runs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh windows

build=build-windows
sources=$build/sources
mkdir -p "$sources"

# pugixml's source from Debian's archive, through a sources list of our own so
# that the machine's apt configuration is left alone; apt checks it against
# the archive's signed index.
if [ ! -f "$sources/pugixml/src/pugixml.cpp" ]; then
  apt_dir=$(realpath "$sources")/apt
  mkdir -p "$apt_dir/lists/partial"
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  cat > "$apt_dir/sources.list" <<LIST
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $suite main
LIST
  apt_options=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o Dir::Etc::sourceparts=-
               -o "Dir::State::Lists=$apt_dir/lists" -o APT::Get::List-Cleanup=0)
  apt-get "${apt_options[@]}" update -qq
  (cd "$sources" && apt-get "${apt_options[@]}" source --download-only -qq pugixml 2>/dev/null)
  rm -rf "$sources/pugixml" && mkdir -p "$sources/pugixml"
  tar -xzf "$sources"/pugixml_*.orig.tar.gz -C "$sources/pugixml" --strip-components=1
fi

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DZEVRA_PUGIXML_SOURCE="$(realpath "$sources/pugixml")" >/dev/null
cmake --build "$build" -j"$(nproc)"
echo "Windows DLLs in $build/bin, import libraries and .def files in $build/lib and $build"
