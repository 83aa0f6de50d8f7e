#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (skipped when present).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
          libsqlite3-dev sqlite3 libgtest-dev libgmock-dev
          qt6-base-dev qt6-multimedia-dev libgl-dev
          xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
