#!/usr/bin/env bash
# Sets up The Quorvale on a Debian 12 machine.
#   scripts/setup.sh start   install, build, create the database on first run, start the program
#   scripts/setup.sh test    install, build, run the whole test suite, then the whole suite
#                            again on a throwaway PostgreSQL server
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
case "$mode" in start|test) ;; *) echo "usage: $0 start|test" >&2; exit 2 ;; esac

packages=(cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools libqt6uitools6
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc libgl-dev libjpeg-dev sqlite3
  qt6-qpa-plugins fonts-dejavu-core xdg-utils
  unixodbc libsqliteodbc odbc-postgresql odbc-mdbtools)
[ "$mode" = test ] && packages+=(postgresql clang-format poppler-utils)
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

# The code's format is part of the test: every C++ file as .clang-format writes it.
if [ "$mode" = test ]; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
fi

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

# A PostgreSQL server of the tests' own: a cluster in a temporary folder, listening only on
# the loopback address, gone again when the script ends (whatever the outcome).
pg_bin=""
pg_port=""
pg_dir=""
pg_as() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
stop_postgres() {
  if [ -n "$pg_dir" ]; then
    pg_as "$pg_bin/pg_ctl" -D "$pg_dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$pg_dir"
    pg_dir=""
  fi
}
start_postgres() {
  pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$pg_bin" ] || [ ! -x "$pg_bin/initdb" ]; then
    echo "PostgreSQL test server: no server binaries under /usr/lib/postgresql" >&2
    return 1
  fi
  # the first free port from 55432 on (another run may hold one)
  for p in $(seq "${QUORVALE_PG_PORT:-55432}" "$(( ${QUORVALE_PG_PORT:-55432} + 50 ))"); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then pg_port=$p; break; fi
  done
  if [ -z "$pg_port" ]; then
    echo "PostgreSQL test server: no free loopback port from ${QUORVALE_PG_PORT:-55432} on" >&2
    return 1
  fi
  pg_dir=$(mktemp -d "${TMPDIR:-/tmp}/quorvale-pg.XXXXXX")
  trap stop_postgres EXIT
  [ "$(id -u)" -eq 0 ] && chown postgres "$pg_dir"
  # A linguistic default collation (ICU en-US), so the tests show that the tables' own
  # binary collation is what orders and compares text.
  if ! (cd "$pg_dir" && pg_as "$pg_bin/initdb" -D "$pg_dir/data" -U postgres --auth=trust -E UTF8 \
          --locale=C.UTF-8 --locale-provider=icu --icu-locale=en-US) >"$pg_dir/initdb.log" 2>&1; then
    echo "PostgreSQL test server: initdb failed:" >&2
    cat "$pg_dir/initdb.log" >&2
    return 1
  fi
  if ! (cd "$pg_dir" && pg_as "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" -w -t 60 \
          -o "-c listen_addresses=127.0.0.1 -p $pg_port -k $pg_dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
          start) >/dev/null 2>&1; then
    echo "PostgreSQL test server: cannot start on 127.0.0.1:$pg_port:" >&2
    tail -n 20 "$pg_dir/server.log" >&2 || true
    return 1
  fi
}

if [ "$mode" = test ]; then
  (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 300)
  start_postgres
  echo "The whole suite again on PostgreSQL (127.0.0.1:$pg_port):"
  # the server-restart test restarts it with its own pg_ctl and data folder
  (cd "$build" && QT_QPA_PLATFORM=offscreen QUORVALE_TEST_PSQL="host=127.0.0.1 port=$pg_port user=postgres" \
     QUORVALE_TEST_PG_CTL="$pg_bin/pg_ctl" QUORVALE_TEST_PG_DATA="$pg_dir/data" \
     ctest --output-on-failure -j"$(nproc)" --timeout 300)
  stop_postgres
else
  # The alias and the tables are made once, by the admin tool; the program never creates tables.
  # Only when no alias "Corvane2003" is configured: one set up by hand (a PostgreSQL server)
  # stays as it is.
  "$build/admin/quorvale-admin" init --sample --if-no-alias
  exec "$build/app/quorvale"
fi
