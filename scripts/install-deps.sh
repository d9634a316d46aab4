#!/usr/bin/env bash
# Installs, with apt-get and only when missing, what a fresh Debian 12 machine
# needs to build, test, benchmark and fuzz the QUELM foundation (the window
# layer: wxWidgets; its tests: a virtual display, and xwd and convert for
# screenshots).
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config zlib1g-dev libdeflate-dev libgtest-dev libgmock-dev
          libbenchmark-dev libboost-dev libhdf5-dev libmuparser-dev
          clang libclang-rt-14-dev ccache pybind11-dev python3-dev python3-pytest
          libwxgtk3.2-dev xvfb x11-apps imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
