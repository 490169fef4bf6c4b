#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows DLLs (scripts/build-windows.sh) and tests them under
# Wine: each DLL needs only Windows' own DLLs, exports exactly its header's
# functions and carries its version resource; the session services' unit tests
# and the C program written against the published configuration server API
# pass. Skipped, saying why, when MinGW-w64 or Wine cannot be had.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! bash scripts/build-windows.sh; then
  echo "SKIPPED the Windows tests: the cross-build could not be made (MinGW-w64, Wine or pugixml's source unavailable)"
  exit 0
fi
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

for dll in IviCShared_64 IviConfigServerCAPI_64; do
  file=$build/bin/$dll.dll
  imports=$($objdump -p "$file" | awk '/DLL Name:/ {print $3}' | sort | tr '\n' ' ')
  [ "$imports" = "KERNEL32.dll msvcrt.dll " ] || fail "$dll.dll imports $imports(the runtime must be linked in)"
  exported=$($objdump -p "$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\]/ {print $NF}' | sort)
  listed=$(sed -n 's/^  //p' "$build/$dll.def" | sort)
  [ -n "$listed" ] && [ "$exported" = "$listed" ] || fail "$dll.dll does not export exactly $build/$dll.def"
  version=$(strings -el "$file" | grep -A1 -x -E 'CompanyName|ProductName|FileVersion' | grep -v -- -- | paste -sd' ')
  expected="CompanyName The ZEVRA developers ProductName ZEVRA FileVersion $(sed -n 's/^project(ZEVRA VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
  [ "$version" = "$expected" ] || fail "$dll.dll version resource: '$version', wanted '$expected'"
  [ -f "$build/lib/$dll.lib" ] && [ -f "$build/lib/$dll.dll.a" ] || fail "$dll: import libraries missing"
done

export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all
"$wine" wineboot -u >/dev/null 2>&1 || true
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
echo "=== under Wine: ivisession_tests ==="
"$wine" "$build/bin/ivisession_tests.exe" || fail "ivisession_tests.exe"
echo "=== under Wine: iviconfig_api_test ==="
"$wine" "$build/bin/iviconfig_api_test.exe" "Z:${scratch//\//\\}" && echo "passed" || fail "iviconfig_api_test.exe"
{ command -v wineserver >/dev/null && wineserver -k; } >/dev/null 2>&1 || /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
exit $failed
