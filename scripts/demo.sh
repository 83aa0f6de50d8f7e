#!/usr/bin/env bash
# Runs the station on a demo data directory (./demo), with the panel simulator playing a Galaxy
# panel on a pseudo-terminal. With a display the operator's station `vorax` opens; without one (or
# with DEMO_HEADLESS=1) the headless collector runs for DEMO_SECONDS (default 20) and the newest
# records of the full operating log are listed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/deps.sh
build=${BUILD_DIR:-$root/build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

demo=${DEMO_DIR:-$root/demo}
mkdir -p "$demo"/spol "$demo"/priv "$demo"/media "$demo"/zaloha/upd "$demo"/zaloha/audit \
         "$demo"/zaloha/spol "$demo"/zaloha/priv
cd "$demo"
if [ ! -f spol/HISTOR.DB ]; then
  "$build"/src/apps/dedado/Dedado init --shared "$demo/spol" --private "$demo/priv"
fi

# The panel: a Galaxy print-out, two lines a second, over and over.
"$build"/tools/panelsim/vorax-panelsim --family galaxy --rate 2 --loop > panelsim.port 2> panelsim.log &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s panelsim.port ] && break; sleep 0.1; done
port=$(head -n 1 panelsim.port)
[ -n "$port" ] || { echo "the panel simulator did not start (see $demo/panelsim.log)"; exit 1; }

ini() {  # the station's settings for the demo
  printf '[ADRESARE]\r\nSpolTabulky=%s\r\nPrivTabulky=%s\r\nMultimedia=%s\r\nZalohaHist=%s\r\nZalohaAudit=%s\r\nSpolZaloha=%s\r\nPrivZaloha=%s\r\n' \
    "$demo/spol" "$demo/priv" "$demo/media" "$demo/zaloha/upd" "$demo/zaloha/audit" "$demo/zaloha/spol" "$demo/zaloha/priv"
  printf '[SYSTEM]\r\nRezim=SBERAC\r\n'
  printf '[PORT]\r\nJmeno=%s\r\nRychlost=9600\r\nDataBity=8\r\nStopBity=1.000000\r\nParita=zadna\r\nOnline=1\r\nBuffer=0\r\n' "$port"
  printf '[USTREDNA]\r\nUstredna=8\r\n'
}
# Written once; later runs only point the port at the new pseudo-terminal, so that the settings
# the station keeps (the current event date among them) carry over.
for f in VORAX.INI DEDADO.INI; do
  if [ -f "$f" ]; then
    sed -i "s|^Jmeno=.*\r\$|Jmeno=$port\r|" "$f"
  else
    ini > "$f"
  fi
done
echo "demo directory: $demo, panel on $port"

if [ -x "$build/src/apps/vorax/vorax" ] && [ -z "${DEMO_HEADLESS:-}" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  "$build"/src/apps/vorax/vorax
else
  seconds=${DEMO_SECONDS:-20}
  echo "collecting for $seconds s without a display ..."
  "$build"/src/apps/collector/vorax-collector &
  col=$!
  sleep "$seconds"
  kill -TERM $col
  wait $col || true
  echo "newest records of the full operating log:"
  "$build"/src/apps/dedado/Dedado show HISTOR --last 15
fi
