#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows DLLs (scripts/build-windows.sh) and tests them under
# Wine: each DLL imports only what it should, exports exactly its header's
# functions and carries its version resource; the session services' unit
# tests, the C program written against the published configuration server API
# and the VISA library's TCP stream (against the Linux emulator) pass; the
# examples print on simulated sessions what they print on Linux (both need the
# Linux build in build/); the driver binds to a stand-in visa64.dll. Skipped,
# saying why, when MinGW-w64 or Wine cannot be had.
set -euo pipefail
cd "$(dirname "$0")/.."

# Only what cannot be had skips the tests; a build that fails fails them.
if ! bash scripts/install-deps.sh windows; then
  echo "SKIPPED the Windows tests: MinGW-w64 and Wine could not be installed"
  exit 0
fi
if ! bash scripts/build-windows.sh --fetch-only; then
  echo "SKIPPED the Windows tests: pugixml's source could not be fetched from Debian's archive"
  exit 0
fi
bash scripts/build-windows.sh
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || true)
if [ -z "$wine" ]; then
  echo "SKIPPED the Windows tests: wine64 is not installed"
  exit 0
fi

build=build-windows
objdump=x86_64-w64-mingw32-objdump
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# What each DLL may import: Windows' own DLLs (the runtimes are linked in) and,
# for the driver, the IVI shared components and VISA by their published names.
declare -A allowed=(
  [IviCShared_64]="KERNEL32.dll msvcrt.dll "
  [IviConfigServerCAPI_64]="KERNEL32.dll msvcrt.dll "
  [ZEVRA_64]="IviCShared_64.dll IviConfigServerCAPI_64.dll KERNEL32.dll msvcrt.dll visa64.dll "
)
for dll in IviCShared_64 IviConfigServerCAPI_64 ZEVRA_64; do
  file=$build/bin/$dll.dll
  imports=$($objdump -p "$file" | awk '/DLL Name:/ {print $3}' | sort | tr '\n' ' ')
  [ "$imports" = "${allowed[$dll]}" ] || fail "$dll.dll imports $imports(wanted ${allowed[$dll]})"
  exported=$($objdump -p "$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^[ \t]*\[ *[0-9]+\]/ {print $NF}' | sort)
  listed=$(sed -n 's/^  //p' "$build/$dll.def" | sort)
  [ -n "$listed" ] && [ "$exported" = "$listed" ] || fail "$dll.dll does not export exactly $build/$dll.def"
  version=$(strings -el "$file" | grep -A1 -x -E 'CompanyName|ProductName|FileVersion' | grep -v -- -- | paste -sd' ')
  expected="CompanyName The ZEVRA developers ProductName ZEVRA FileVersion $(sed -n 's/^project(ZEVRA VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
  [ "$version" = "$expected" ] || fail "$dll.dll version resource: '$version', wanted '$expected'"
  [ -f "$build/lib/$dll.lib" ] && [ -f "$build/lib/$dll.dll.a" ] || fail "$dll: import libraries missing"
done

# The package holds what a user installs, and nothing of the tests.
version=$(sed -n 's/^project(ZEVRA VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=zevra-$version-windows-x64
listed=$(cd "$build" && cmake -E tar tf "$name.zip" | grep -v '/$' | sort | paste -sd' ')
wanted=$(printf "$name/%s\n" LICENSE README.md compliance.md \
  bin/{ZEVRA_64,IviCShared_64,IviConfigServerCAPI_64}.dll \
  lib/{ZEVRA_64,IviCShared_64,IviConfigServerCAPI_64}.{lib,dll.a,def} \
  include/{ZEVRA.h,IviSession.h,IviConfigServer.h} \
  examples/{open_by_logical_name,output_and_list,status_and_errors}.{c,exe} | sort | paste -sd' ')
[ "$listed" = "$wanted" ] || fail "$name.zip holds: $listed"

export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all
"$wine" wineboot -u >/dev/null 2>&1 || true
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
echo "=== under Wine: ivisession_tests ==="
"$wine" "$build/bin/ivisession_tests.exe" || fail "ivisession_tests.exe"
echo "=== under Wine: iviconfig_api_test ==="
"$wine" "$build/bin/iviconfig_api_test.exe" "Z:${scratch//\//\\}" && echo "passed" || fail "iviconfig_api_test.exe"
echo "=== under Wine: visa_port_tests (the VISA parts ported so far; TCP against the Linux emulator) ==="
if [ -x build/bin/qdx-emulator ]; then
  build/bin/qdx-emulator --port 0 --vxi11 >"$scratch/emulator.txt" 2>&1 &
  emulator=$!
  for _ in $(seq 50); do grep -q "listening VXI11" "$scratch/emulator.txt" && break; sleep 0.1; done
  peer=$(awk '/listening SOCKET/ {print $3 ":" $4}' "$scratch/emulator.txt")
  portmapper=$(awk '/listening VXI11/ {print $4}' "$scratch/emulator.txt")
  ZEVRA_TEST_SOCKET_PEER=$peer ZEVRA_TEST_PORTMAPPER_PORT=$portmapper "$wine" "$build/bin/visa_port_tests.exe" ||
    fail "visa_port_tests.exe"
  kill "$emulator"
  wait "$emulator" 2>/dev/null || true
else
  fail "no Linux build in build/: the emulator the TCP tests talk to is missing"
fi

# The examples on simulated sessions print what they print on Linux; a real
# session reaches the visa64.dll the machine gives (here a stand-in that logs).
windows_path() { echo "Z:${1//\//\\}"; }
cat > "$scratch/store.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<IviConfigStore><SoftwareModules><IviSoftwareModule id="ZEVRA"><Name>ZEVRA</Name><Prefix>ZEVRA</Prefix>
</IviSoftwareModule></SoftwareModules></IviConfigStore>
XML
export WINEPATH=$(windows_path "$PWD/$build/stand-in")
export ZEVRA_STAND_IN_VISA_LOG=$(windows_path "$scratch/visa.log")
for example in open_by_logical_name output_and_list status_and_errors; do
  echo "=== under Wine: $example on a simulated session ==="
  IVICONFIGSERVERDEFAULT=$(windows_path "$scratch/store.xml") \
    "$wine" "$build/bin/$example.exe" anything Simulate=1 >"$scratch/windows.txt" 2>&1 || fail "$example.exe"
  tr -d '\r' <"$scratch/windows.txt" >"$scratch/windows-lf.txt"
  if [ -x "build/bin/$example" ]; then
    IVICONFIGSERVERDEFAULT="$scratch/store.xml" "build/bin/$example" anything Simulate=1 >"$scratch/linux.txt" 2>&1
    diff "$scratch/linux.txt" "$scratch/windows-lf.txt" && echo "the same as on Linux" ||
      fail "$example.exe prints otherwise than on Linux"
  else
    echo "(no Linux build in build/ to compare with)"
  fi
done
echo "=== under Wine: the driver binds to the visa64.dll it is given ==="
IVICONFIGSERVERDEFAULT=$(windows_path "$scratch/store.xml") \
  "$wine" "$build/bin/open_by_logical_name.exe" TCPIP0::127.0.0.1::5025::SOCKET "" >"$scratch/real.txt" 2>&1 &&
  fail "a session through the stand-in VISA opened"
grep -q "status 0xBFFF0011" "$scratch/real.txt" || fail "the stand-in's VI_ERROR_RSRC_NFOUND did not reach the caller"
printf 'viOpenDefaultRM\nviOpen TCPIP0::127.0.0.1::5025::SOCKET\nviClose RM\n' | diff - <(tr -d '\r' <"$scratch/visa.log") &&
  echo "calls reached the stand-in: $(paste -sd, "$scratch/visa.log")" || fail "the driver's VISA calls"
{ command -v wineserver >/dev/null && wineserver -k; } >/dev/null 2>&1 || /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
exit $failed
