#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The main job: builds the project, runs a short session of the zevra front
# panel on an emulated instrument (levels, outputs, measurements, a list
# logged to CSV and charted as SVG); then starts qdx-emulator on loopback,
# writes a configuration store that registers the driver and names the
# emulator "PSU1", and runs the example programs (C, and the Python sweep)
# against it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build

# The build's own output goes to a log, shown only when it fails; what is
# shown meanwhile is a line per phase and per tenth of the build.
mkdir -p build
log=build/demo-build.log
: >"$log"
progress() {
  local line next=10
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$log"
    if [[ $line =~ ^\[\ *([0-9]+)%\] ]] && ((BASH_REMATCH[1] >= next)); then
      echo "  built ${BASH_REMATCH[1]}%"
      next=$((BASH_REMATCH[1] - BASH_REMATCH[1] % 10 + 10))
    fi
  done
}
echo "Configuring (log: $log) ..."
if cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEVRA_BUILD_TESTS=OFF -DZEVRA_BUILD_BENCH=OFF 2>&1 | progress &&
   echo "Building ..." &&
   cmake --build build -j"$(nproc)" --target qdx-emulator ivi-config ZEVRA_64 zevra visa_identify \
     open_by_logical_name output_and_list status_and_errors 2>&1 | progress; then
  echo "Built."
else
  cat "$log" >&2
  echo "The build failed; its log is $log" >&2
  exit 1
fi

mkdir -p build/demo
echo "== zevra --emulate: a front-panel session (scripts/demo.zevra), each command before its output =="
./build/bin/zevra --emulate shell --echo < scripts/demo.zevra
echo

out=$(mktemp)
# Four modules; CH1 drives a 10-ohm load.
./build/bin/qdx-emulator --address 127.0.0.1 --port 0 --load 1=10 >"$out" &
emulator=$!
trap 'kill -TERM $emulator 2>/dev/null; wait $emulator 2>/dev/null; rm -f "$out"' EXIT
for _ in $(seq 100); do
  [ -s "$out" ] && break
  sleep 0.05
done
read -r _ class address port <"$out"
resource="TCPIP0::${address}::${port}::SOCKET"
echo "qdx-emulator: listening $class $address $port"

# The store this demo uses; the driver reads IVICONFIGSERVERDEFAULT at every open.
export IVICONFIGSERVERDEFAULT="$PWD/build/demo/IviConfigurationStore.xml"
config() { ./build/bin/ivi-config --store "$IVICONFIGSERVERDEFAULT" "$@" >/dev/null; }
config create --force
config register-driver
config add-asset emulator "$resource"
config add-session QDX-Emulator --asset emulator
config add-logical-name PSU1 QDX-Emulator
echo "Configuration store: $IVICONFIGSERVERDEFAULT (logical name PSU1 -> $resource)"
echo

echo "== VISA: identity and a few exchanges =="
./build/bin/visa_identify "$resource"
echo
echo "== Driver session by logical name =="
./build/bin/open_by_logical_name PSU1 "QueryInstrStatus=1"
echo
echo "== Levels, output state, measurements and a list =="
./build/bin/output_and_list PSU1 "QueryInstrStatus=1"
echo
echo "== Status registers and the error queue =="
./build/bin/status_and_errors PSU1 "QueryInstrStatus=1"
echo
echo "== Python: the zevra package, a voltage sweep on CH1 (examples/python/sweep.py) =="
PYTHONPATH="$PWD/python" ZEVRA_LIBRARY="$PWD/build/lib/libZEVRA_64.so.1" \
  python3 examples/python/sweep.py PSU1 --stop 5 --csv build/demo/sweep.csv
echo
echo "== Simulated driver session (no instrument) =="
./build/bin/open_by_logical_name SimulatedPSU "Simulate=1"
echo
echo "The front-panel session's list: chart build/demo/list.svg (open it in a browser), samples build/demo/list.csv"
echo "The Python sweep's samples: build/demo/sweep.csv"
