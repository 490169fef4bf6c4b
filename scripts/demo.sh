#!/usr/bin/env bash
# The main job: builds the project, starts qdx-emulator on loopback and talks
# to it through our VISA library.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target qdx-emulator visa_identify

out=$(mktemp)
./build/bin/qdx-emulator --address 127.0.0.1 --port 0 >"$out" &
emulator=$!
trap 'kill -TERM $emulator 2>/dev/null; wait $emulator 2>/dev/null; rm -f "$out"' EXIT

for _ in $(seq 100); do
  [ -s "$out" ] && break
  sleep 0.05
done
read -r _ class address port <"$out"
echo "qdx-emulator: listening $class $address $port"
resource="TCPIP0::${address}::${port}::SOCKET"
echo "Resource:     $resource"
./build/bin/visa_identify "$resource"
