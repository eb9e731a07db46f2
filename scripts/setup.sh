#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the demo need.
# Idempotent: does nothing (and prints nothing) when everything is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3 git
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev
  libsndfile1-dev libopenmpt-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-wqy-zenhei
  zlib1g-dev libminizip-dev
  libstb-dev
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
