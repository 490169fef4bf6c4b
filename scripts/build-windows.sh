#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds for Windows into build-windows/ with Debian's MinGW-w64:
# ZEVRA_64.dll, IviCShared_64.dll and IviConfigServerCAPI_64.dll (pugixml
# compiled in from Debian's source package), our VISA as visa64.dll, their
# import libraries (.dll.a, .lib) and .def files, the examples as .exe, the
# tests scripts/test-windows.sh runs under Wine, and the package
# zevra-VERSION-windows-x64.zip.
# --fetch-only: install the tools and fetch pugixml's source, build nothing.
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

[ "${1:-}" = "--fetch-only" ] && exit 0

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DZEVRA_PUGIXML_SOURCE="$(realpath "$sources/pugixml")" >/dev/null
cmake --build "$build" -j"$(nproc)"

# The package, laid out as the IVI standard root directory is, so that a user
# copies IVI/ over it: the driver in Bin, its header in Include, its import
# libraries and .def in Lib_x64\msc, and its own files (README, licence,
# compliance document, the examples as source and programs) in Drivers\ZEVRA.
# Our IVI shared components and our VISA come in folders of their own, in
# the same layout, for machines that have none: over the IVI Foundation's, or
# beside the driver, they would take the place of what the machine has.
version=$(sed -n 's/^project(ZEVRA VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=zevra-$version-windows-x64
stage=$build/package/$name
rm -rf "$build/package" && mkdir -p "$stage"
# component DIR DLL HEADER...: the DLL, its import libraries and .def, and its headers under DIR.
component() {
  local dir=$stage/$1 dll=$2
  shift 2
  mkdir -p "$dir/Bin" "$dir/Include" "$dir/Lib_x64/msc"
  cp "$build/bin/$dll.dll" "$dir/Bin/"
  cp "$build/lib/$dll.lib" "$build/lib/$dll.dll.a" "$build/$dll.def" "$dir/Lib_x64/msc/"
  cp "$@" "$dir/Include/"
}
component IVI ZEVRA_64 include/ZEVRA.h
component shared-components IviCShared_64 platform/ivisession/include/IviSession.h
component shared-components IviConfigServerCAPI_64 platform/iviconfig/include/IviConfigServer.h
component visa visa64 platform/visa/include/visa.h platform/visa/include/visatype.h
driver_files=$stage/IVI/Drivers/ZEVRA
mkdir -p "$driver_files/examples"
for example in open_by_logical_name output_and_list status_and_errors; do
  cp "examples/$example.c" "$build/bin/$example.exe" "$driver_files/examples/"
done
cp LICENSE README.md docs/compliance.md "$driver_files/"
cp LICENSE README.md "$stage/"
(cd "$build/package" && cmake -E tar cf "../$name.zip" --format=zip "$name")
echo "Windows DLLs in $build/bin, import libraries in $build/lib, the package $build/$name.zip"
