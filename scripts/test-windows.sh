#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows DLLs (scripts/build-windows.sh) and tests them under
# Wine: each DLL imports only what it should, exports exactly its header's
# functions and carries its version resource; the session services' unit
# tests, the system-independent unit tests of the VISA library and the driver's
# grammars, the C program written against the published configuration server API
# and the VISA library's system parts (TCP, serial, discovery datagrams, against
# the Linux emulator) pass; the examples print on simulated sessions what they
# print on Linux; real sessions through our visa64.dll on SOCKET, HiSLIP,
# VXI-11, a serial line and GPIB send the emulator exactly what the Linux
# build sends (these need the Linux build in build/); the driver binds to a
# stand-in visa64.dll. Skipped, saying why, when MinGW-w64 or Wine cannot be had.
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
  [IviConfigServerCAPI_64]="ADVAPI32.dll KERNEL32.dll msvcrt.dll "
  [ZEVRA_64]="IviCShared_64.dll IviConfigServerCAPI_64.dll KERNEL32.dll msvcrt.dll visa64.dll "
  [visa64]="ADVAPI32.dll IPHLPAPI.DLL KERNEL32.dll WS2_32.dll msvcrt.dll "
)
for dll in IviCShared_64 IviConfigServerCAPI_64 ZEVRA_64 visa64; do
  file=$build/bin/$dll.dll
  imports=$($objdump -p "$file" | awk '/DLL Name:/ {print $3}' | LC_ALL=C sort | tr '\n' ' ')
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
wanted=$(printf "$name/%s\n" LICENSE README.md \
  IVI/Bin/ZEVRA_64.dll IVI/Include/ZEVRA.h IVI/Lib_x64/msc/ZEVRA_64.{lib,dll.a,def} \
  IVI/Drivers/ZEVRA/{LICENSE,README.md,compliance.md} \
  IVI/Drivers/ZEVRA/examples/{open_by_logical_name,output_and_list,status_and_errors}.{c,exe} \
  shared-components/Bin/{IviCShared_64,IviConfigServerCAPI_64}.dll \
  shared-components/Include/{IviSession.h,IviConfigServer.h} \
  shared-components/Lib_x64/msc/{IviCShared_64,IviConfigServerCAPI_64}.{lib,dll.a,def} \
  visa/Bin/visa64.dll visa/Include/{visa.h,visatype.h} visa/Lib_x64/msc/visa64.{lib,dll.a,def} |
  sort | paste -sd' ')
[ "$listed" = "$wanted" ] || fail "$name.zip holds: $listed"

export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all
"$wine" wineboot -u >/dev/null 2>&1 || true
windows_path() { echo "Z:${1//\//\\}"; }
# A server of our own, so that no Wine process's output is the server's.
{ /usr/lib/wine/wineserver64 -p || wineserver -p; } >/dev/null 2>&1 || true
scratch=$(mktemp -d)
stop_wine() { { /usr/lib/wine/wineserver64 -k || wineserver -k; } >/dev/null 2>&1 || true; }
trap 'rm -rf "$scratch"; rm -f "$WINEPREFIX/dosdevices/com7" "$WINEPREFIX/dosdevices/com8"; stop_wine' EXIT
cat > "$scratch/store.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<IviConfigStore><SoftwareModules><IviSoftwareModule id="ZEVRA"><Name>ZEVRA</Name><Prefix>ZEVRA</Prefix>
</IviSoftwareModule></SoftwareModules></IviConfigStore>
XML
echo "=== under Wine: ivisession_tests ==="
"$wine" "$build/bin/ivisession_tests.exe" || fail "ivisession_tests.exe"
echo "=== under Wine: windows_unit_tests (formatted I/O, resource names, grammars, codecs) ==="
"$wine" "$build/bin/windows_unit_tests.exe" || fail "windows_unit_tests.exe"
# The published configuration server API, and the master store where this
# machine's IVI installation keeps it: the IVI data directory under
# %ProgramData%, or, while only an older installation's store exists, the Data
# folder of the standard root directory the registry names.
ivi_data="$WINEPREFIX/drive_c/ProgramData/IVI Foundation/IVI"
old_root="$scratch/old IVI"
mkdir -p "$old_root/Data"
echo "<IviConfigStore/>" >"$old_root/Data/IviConfigurationStore.xml"
rm -f "$ivi_data/IviConfigurationStore.xml"
"$wine" reg add 'HKLM\SOFTWARE\IVI' /v IviStandardRootDir /t REG_SZ /d "$(windows_path "$old_root")" /f >/dev/null 2>&1
for installation in older current; do
  echo "=== under Wine: iviconfig_api_test (the master store of the $installation installation) ==="
  if [ "$installation" = older ]; then
    expected="$(windows_path "$old_root")\\Data\\IviConfigurationStore.xml"
  else
    mkdir -p "$ivi_data" && echo "<IviConfigStore/>" >"$ivi_data/IviConfigurationStore.xml"
    expected='C:\ProgramData\IVI Foundation\IVI\IviConfigurationStore.xml'
  fi
  ZEVRA_TEST_MASTER_LOCATION=$expected "$wine" "$build/bin/iviconfig_api_test.exe" "$(windows_path "$scratch")" &&
    echo "passed" || fail "iviconfig_api_test.exe ($installation installation)"
done
rm -f "$ivi_data/IviConfigurationStore.xml"
"$wine" reg delete 'HKLM\SOFTWARE\IVI' /v IviStandardRootDir /f >/dev/null 2>&1

# Starts the Linux emulator on every transport, its transcript in $1/transcript.txt.
start_emulator() {
  build/bin/qdx-emulator --port 0 --vxi11 --hislip --serial --gpib-adapter --gpib-adapter-serial \
    --transcript "$1/transcript.txt" >"$1/emulator.txt" 2>&1 &
  emulator=$!
  for _ in $(seq 50); do grep -q "listening PRLGX-ASRL" "$1/emulator.txt" && break; sleep 0.1; done
  socket_port=$(awk '/listening SOCKET/ {print $4}' "$1/emulator.txt")
  hislip_port=$(awk '/listening HISLIP/ {print $4}' "$1/emulator.txt")
  pty=$(awk '/listening ASRL/ {print $3}' "$1/emulator.txt")
  adapter_pty=$(awk '/listening PRLGX-ASRL/ {print $3}' "$1/emulator.txt")
  # GPIB0 is the emulator's "++" adapter on TCP, GPIB1 the same adapter on its
  # serial line (COM8 under Wine); the instrument is at address 5.
  local adapter="gpib-board 0 prologix tcp 127.0.0.1:$(awk '/listening PRLGX / {print $4}' "$1/emulator.txt")"
  printf '%s\ngpib-board 1 prologix serial %s\n' "$adapter" "$adapter_pty" >"$1/visa.conf"
  printf '%s\ngpib-board 1 prologix serial COM8\n' "$adapter" >"$1/visa-windows.conf"
  export ZEVRA_VXI11_PORTMAPPER_PORT=$(awk '/listening VXI11/ {print $4}' "$1/emulator.txt")
}
stop_emulator() { kill "$emulator"; wait "$emulator" 2>/dev/null || true; }
# Wine's serial port COM7 is the emulator's pseudo-terminal, registered as
# the system's serial drivers register theirs; COM8 its GPIB adapter's line.
map_com_ports() {
  ln -sfn "$pty" "$WINEPREFIX/dosdevices/com7"
  ln -sfn "$adapter_pty" "$WINEPREFIX/dosdevices/com8"
  "$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v ZevraTest /t REG_SZ /d COM7 /f >/dev/null 2>&1
}

if [ ! -x build/bin/qdx-emulator ]; then
  fail "no Linux build in build/: the emulator the real sessions talk to is missing"
else
  echo "=== under Wine: visa_port_tests (TCP, serial, datagrams against the Linux emulator) ==="
  mkdir -p "$scratch/port"
  start_emulator "$scratch/port"
  map_com_ports
  ZEVRA_TEST_SOCKET_PEER=127.0.0.1:$socket_port ZEVRA_TEST_PORTMAPPER_PORT=$ZEVRA_VXI11_PORTMAPPER_PORT \
    ZEVRA_TEST_SERIAL_PORT=COM7 "$wine" "$build/bin/visa_port_tests.exe" || fail "visa_port_tests.exe"
  echo "=== under Wine: machine-wide VISA settings from %ProgramData%\\zevra\\visa.conf ==="
  settings="$WINEPREFIX/drive_c/ProgramData/zevra"
  mkdir -p "$settings"
  echo "alias bench-psu TCPIP0::127.0.0.1::$socket_port::SOCKET" >"$settings/visa.conf"
  identified=$("$wine" "$build/bin/visa_identify.exe" bench-psu 2>&1 | tr -d '\r') || true
  [[ $identified == *$'\nModel:        QDX7001\n'* ]] && echo "the alias opened the emulator" ||
    fail "an alias in %ProgramData%\\zevra\\visa.conf did not open: $identified"
  rm -rf "$settings"
  stop_emulator

  # Real sessions: VISA alone (visa_identify) and the driver (the examples)
  # over our visa64.dll, each against a new emulator; the instrument must
  # receive exactly what it receives from the Linux build, and the programs
  # print the same.
  programs=(visa_identify open_by_logical_name output_and_list status_and_errors)
  for transport in SOCKET HISLIP VXI11 SERIAL GPIB GPIB-SERIAL; do
    echo "=== under Wine: real sessions over $transport, against the Linux build's ==="
    for side in linux windows; do
      out=$scratch/$transport-$side
      mkdir -p "$out"
      start_emulator "$out"
      [ "$side" = windows ] && map_com_ports
      case $transport in
        SOCKET) resource=TCPIP0::127.0.0.1::$socket_port::SOCKET ;;
        HISLIP) resource=TCPIP0::127.0.0.1::hislip0,$hislip_port::INSTR ;;
        VXI11) resource=TCPIP0::127.0.0.1::INSTR ;;
        SERIAL) if [ "$side" = windows ]; then resource=ASRL7::INSTR; else resource=ASRL$pty::INSTR; fi ;;
        GPIB) resource=GPIB0::5::INSTR ;;
        GPIB-SERIAL) resource=GPIB1::5::INSTR ;;
      esac
      for program in "${programs[@]}"; do
        if [ "$side" = linux ]; then
          ZEVRA_VISA_CONF="$out/visa.conf" IVICONFIGSERVERDEFAULT="$scratch/store.xml" \
            "build/bin/$program" "$resource" >"$out/$program.raw" 2>&1 ||
            fail "$program over $transport on Linux"
        else
          ZEVRA_VISA_CONF=$(windows_path "$out/visa-windows.conf") IVICONFIGSERVERDEFAULT=$(windows_path "$scratch/store.xml") \
            "$wine" "$build/bin/$program.exe" "$resource" >"$out/$program.raw" 2>&1 || fail "$program.exe over $transport"
        fi
        # The resource's name differs between the sides; nothing else may.
        tr -d '\r' <"$out/$program.raw" | sed "s#$resource#RESOURCE#g" >>"$out/printed.txt"
      done
      stop_emulator
      cut -d' ' -f2- "$out/transcript.txt" >"$out/received.txt"
    done
    diff "$scratch/$transport-linux/received.txt" "$scratch/$transport-windows/received.txt" &&
      echo "the emulator received the same $(wc -l <"$scratch/$transport-linux/received.txt") lines" ||
      fail "over $transport the emulator's transcript differs from the Linux run's"
    diff "$scratch/$transport-linux/printed.txt" "$scratch/$transport-windows/printed.txt" &&
      echo "the programs printed the same" || fail "over $transport the programs print otherwise than on Linux"
  done

  echo "=== under Wine: what Windows does not have yet is said, in the trace too ==="
  ZEVRA_VISA_TRACE=$(windows_path "$scratch/trace.txt") "$wine" "$build/bin/visa_identify.exe" \
    USB0::0x1234::0x5678::SN1::INSTR >"$scratch/usb.txt" 2>&1 && fail "a USB session opened"
  grep -q "viOpen failed: 0xBFFF0011" "$scratch/usb.txt" || fail "USB: $(cat "$scratch/usb.txt")"
  grep -q "USB is not supported on Windows yet" "$scratch/trace.txt" ||
    fail "the trace does not say USB is not supported: $(cat "$scratch/trace.txt" 2>/dev/null)"
fi

# Installed from the package as a user would (IVI/ over the IVI root, our
# shared components and our VISA where the machine has none), the driver runs
# a session.
echo "=== under Wine: the package, unpacked, runs the driver ==="
mkdir -p "$scratch/installed"
cmake -E chdir "$scratch/installed" cmake -E tar xf "$PWD/$build/$name.zip"
root=$scratch/installed/$name
WINEPATH="$(windows_path "$root/IVI/Bin");$(windows_path "$root/shared-components/Bin");$(windows_path "$root/visa/Bin")" \
  IVICONFIGSERVERDEFAULT=$(windows_path "$scratch/store.xml") \
  "$wine" "$root/IVI/Drivers/ZEVRA/examples/open_by_logical_name.exe" anything Simulate=1 >"$scratch/installed.txt" 2>&1 &&
  grep -q "^Self-test:         0 (Selftest passed)" <(tr -d '\r' <"$scratch/installed.txt") &&
  echo "the installed example ran a simulated session" || fail "the installed package: $(cat "$scratch/installed.txt")"

# The examples on simulated sessions print what they print on Linux.
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
# A program beside another visa64.dll (a stand-in that logs its calls) binds
# the driver to that one: the driver takes whichever VISA the machine gives.
echo "=== under Wine: the driver binds to the visa64.dll it is given ==="
cp "$build/bin/open_by_logical_name.exe" "$build/stand-in/"
WINEPATH=$(windows_path "$PWD/$build/bin") ZEVRA_STAND_IN_VISA_LOG=$(windows_path "$scratch/visa.log") \
  IVICONFIGSERVERDEFAULT=$(windows_path "$scratch/store.xml") \
  "$wine" "$build/stand-in/open_by_logical_name.exe" TCPIP0::127.0.0.1::5025::SOCKET "" >"$scratch/real.txt" 2>&1 &&
  fail "a session through the stand-in VISA opened"
grep -q "status 0xBFFF0011" "$scratch/real.txt" || fail "the stand-in's VI_ERROR_RSRC_NFOUND did not reach the caller"
printf 'viOpenDefaultRM\nviOpen TCPIP0::127.0.0.1::5025::SOCKET\nviClose RM\n' | diff - <(tr -d '\r' <"$scratch/visa.log") &&
  echo "calls reached the stand-in: $(paste -sd, "$scratch/visa.log")" || fail "the driver's VISA calls"
exit $failed
