#!/usr/bin/env bash
# Installs the Debian packages the build needs.
#   scripts/setup.sh         everything: the demo, the tests, the sanitizer builds, the benchmarks, CI
#   scripts/setup.sh --demo  only what building and running the demo and installing the engine with
#                            its API reference need
# Idempotent: does nothing (and prints nothing) when everything is already present.
set -euo pipefail

# Building the engine, its tools, the demo and the API reference, and running the demo. One package
# a line.
demo_packages=(
  build-essential
  cmake
  ninja-build
  pkg-config
  libsdl2-dev
  libsndfile1-dev
  libmpg123-dev
  libopenmpt-dev
  libfreetype-dev
  libfontconfig-dev
  fonts-liberation
  fonts-wqy-zenhei
  zlib1g-dev
  libminizip-dev
  libstb-dev
  libx11-dev
  libxkbcommon-dev
  doxygen
)

# The tests, the sanitizer and fuzz builds, the benchmarks and CI, besides the above.
# One package a line.
test_packages=(
  python3
  git
  clang
  libclang-rt-14-dev
  llvm
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  libopenal-dev
  zip
  xvfb
  xauth
  libxtst-dev
  libxdamage-dev
  openbox
  x11-xkb-utils
  xkb-data
  locales
  dbus-daemon
  ibus
  ibus-libpinyin
)

packages=("${demo_packages[@]}")
full=1
if [ "${1:-}" = "--demo" ]; then
  full=0
else
  packages+=("${test_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A locale whose decimal separator is a comma, for the tests that prove parsing ignores the locale.
if [ "$full" -eq 1 ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
