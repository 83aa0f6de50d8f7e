#!/usr/bin/env bash
# Makes a demo station directory for vorax: empty tables (through Dedado), VORAX.INI for data
# collection from a GALAXY 504 panel, and, when the panel simulator is given, a simulated panel on a
# pseudo-terminal that prints two events a second while the station listens.
#
#   vorax-demo.sh DIR DEDADO [VORAX-PANELSIM]
#   vorax --directory DIR
#
# The simulator keeps running in the background; its process id is in DIR/panelsim.pid.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "Použití: vorax-demo.sh ADRESÁŘ CESTA-K-DEDADO [CESTA-K-VORAX-PANELSIM]" >&2
  exit 2
fi
dir=$1
dedado=$2
panelsim=${3:-}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
mkdir -p "$dir/spol" "$dir/priv" "$dir/media" "$dir/zaloha-upd" "$dir/zaloha-audit"

crlf() { printf '%s\r\n' "$@"; }
crlf "[ADRESARE]" "SpolTabulky=$dir/spol" "PrivTabulky=$dir/priv" > "$dir/DEDADO.INI"
(cd "$dir" && "$dedado" init >/dev/null)

{
  crlf "[ADRESARE]" "SpolTabulky=$dir/spol" "PrivTabulky=$dir/priv" "Multimedia=$dir/media" \
       "ZalohaHist=$dir/zaloha-upd" "ZalohaAudit=$dir/zaloha-audit"
  crlf "[SYSTEM]" "Rezim=SBERAC"
  crlf "[USTREDNA]" "Ustredna=8"
} > "$dir/VORAX.INI"

if [ -n "$panelsim" ]; then
  "$panelsim" --family galaxy --rate 2 --loop > "$dir/panelsim.out" 2>&1 &
  echo $! > "$dir/panelsim.pid"
  port=""
  for _ in $(seq 100); do
    port=$(head -n1 "$dir/panelsim.out" 2>/dev/null || true)
    [ -n "$port" ] && break
    sleep 0.05
  done
  [ -n "$port" ] || { echo "vorax-panelsim did not start" >&2; exit 1; }
  crlf "[PORT]" "Jmeno=$port" "Rychlost=9600" "DataBity=8" "StopBity=1" "Parita=zadna" "Online=1" \
       "Buffer=0" >> "$dir/VORAX.INI"
  echo "panel: $port (vorax-panelsim, pid $(cat "$dir/panelsim.pid"))"
fi
echo "stanice: $dir"
