#!/usr/bin/env bash
# Sets up The Quorvale on a Debian 12 machine.
#   scripts/setup.sh start   install, build, create the database on first run, start the program
#   scripts/setup.sh test    install, build, run the whole test suite
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
case "$mode" in start|test) ;; *) echo "usage: $0 start|test" >&2; exit 2 ;; esac

packages=(cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools libqt6uitools6
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc libgl-dev libjpeg-dev sqlite3
  qt6-qpa-plugins fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

if [ "$mode" = test ]; then
  cd "$build"
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 300
else
  # The alias and the tables are made once, by the admin tool; the program never creates tables.
  "$build/admin/quorvale-admin" init --sample
  exec "$build/app/quorvale"
fi
