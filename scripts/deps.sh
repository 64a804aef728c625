#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# (qt6-tools-dev: CMake's LinguistTools; qt6-l10n-tools: lupdate and lrelease.)
# Usage: scripts/deps.sh [build|test]   (test adds the packages of the GUI end-to-end tests
#                                        and the PostgreSQL server of the server tests)
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libsqlite3-dev
          qt6-translations-l10n fonts-noto-cjk fonts-arphic-uming fonts-arphic-gbsn00lp fonts-urw-base35
          fortunes-zh mdbtools-dev opencc libopencc1.1
          qt6-svg-dev dpkg-dev qt6-tools-dev qt6-l10n-tools)
if [ "${1:-build}" = test ]; then
  packages+=(sqlite3 xvfb xauth xdotool x11-utils openbox imagemagick poppler-utils postgresql postgresql-common lintian)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages; install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
