#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need, when they are missing.
#   --package        also what building the Debian package needs (dpkg-shlibdeps, file)
#   --check-package  also the checkers scripts/check-package.sh runs on it
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-charts-dev libgl-dev xvfb xauth
      fonts-dejavu-core libftdi1-dev libserialport-dev libxlsxwriter-dev libgtest-dev
      libgmock-dev libbenchmark-dev python3-openpyxl groff-base libsqlite3-dev libmosquitto-dev
      mosquitto openssl)
for arg in "$@"; do
  case "$arg" in
    --package) pkgs+=(dpkg-dev file) ;;
    --check-package) pkgs+=(dpkg-dev file desktop-file-utils lintian) ;;
    *) echo "usage: $0 [--package] [--check-package]" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
