#!/usr/bin/env bash
# Dedado init/show/index from the command line, as scripts and the demo use it.
set -euo pipefail
dedado="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir spol priv
printf '[ADRESARE]\r\nSpolTabulky=%s\r\nPrivTabulky=%s\r\n' "$work/spol" "$work/priv" > DEDADO.INI

out=$("$dedado" init)
expected=$'KODY.DB        OK\nFILTRY.DB      OK\nHESLA.DB       OK\nCTECKY.DB      OK\nHISTOR.DB      OK\nAUDIT.DB       OK'
[ "$out" = "$expected" ] || { echo "init printed: $out"; exit 1; }
for t in KODY FILTRY HESLA CTECKY HISTOR AUDIT; do
  d=spol; [ "$t" = FILTRY ] && d=priv
  [ -f "$d/$t.DB" ] || { echo "missing $d/$t.DB"; exit 1; }
done
"$dedado" show AUDIT | grep -q 'Inicializace tabulek' || { echo "no audit entry"; exit 1; }

# Explicit directories win over the settings file; an unknown table is refused.
mkdir other
"$dedado" init --shared "$work/other" HISTOR >/dev/null
[ -f other/HISTOR.DB ] || { echo "--shared ignored"; exit 1; }
if "$dedado" init NEZNAMA 2>/dev/null; then echo "unknown table accepted"; exit 1; fi
# A table that cannot be created makes the exit code non-zero.
if "$dedado" init --shared "$work/nowhere" KODY >/dev/null; then echo "failure reported as success"; exit 1; fi
"$dedado" index | grep -q 'HISTOR.DB    - nelze indexovat.' || { echo "index output"; exit 1; }
echo "dedado cli ok"
