#!/usr/bin/env bash
# vorax without a display on the demo station: it comes up with operation running, stores the
# events of the simulated panel in the full operating log, and SIGTERM (then SIGINT on a second
# start) ends it in order with exit code 0.
set -euo pipefail
vorax="$1"
dedado="$2"
panelsim="$3"
work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fi
  if [ -f "$work/stanice/panelsim.pid" ]; then kill "$(cat "$work/stanice/panelsim.pid")" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen

bash "$(dirname "$0")/../../../src/apps/vorax/vorax-demo.sh" "$work/stanice" "$dedado" "$panelsim" >/dev/null
history_lines() { (cd "$work/stanice" && "$dedado" show HISTOR | wc -l); }

# Waits up to 30 s for a line in the program's output.
wait_for() {
  for _ in $(seq 300); do
    grep -q "$1" "$work/out" && return 0
    kill -0 "$pid" 2>/dev/null || { echo "vorax ended early:"; cat "$work/out"; return 1; }
    sleep 0.1
  done
  echo "no '$1' from vorax:"; cat "$work/out"; return 1
}

for sig in TERM INT; do
  "$vorax" --directory "$work/stanice" >"$work/out" 2>&1 &
  pid=$!
  wait_for "provoz běží"
  if [ "$sig" = TERM ]; then
    # The panel's events arrive in the full operating log.
    for _ in $(seq 300); do
      [ "$(history_lines)" -ge 3 ] && break
      sleep 0.1
    done
    [ "$(history_lines)" -ge 3 ] || { echo "no events stored"; cat "$work/out"; exit 1; }
  fi
  kill -"$sig" "$pid"
  rc=0
  wait "$pid" || rc=$?
  pid=""
  [ "$rc" = 0 ] || { echo "exit code $rc after SIG$sig"; cat "$work/out"; exit 1; }
  grep -q "vorax: SIG$sig" "$work/out" || { echo "SIG$sig not handled"; cat "$work/out"; exit 1; }
  tail -n1 "$work/out" | grep -q "vorax: konec" || { echo "no orderly end"; cat "$work/out"; exit 1; }
done
echo "vorax smoke ok"
