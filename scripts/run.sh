#!/usr/bin/env bash
# Sets up, builds and starts Tavrel on the shop database in the current folder,
# creating a new one (schema and default rows) when there is none.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --target tavrel tavrel-dbtool
build="${TAVREL_BUILD_DIR:-$root/build}"
if [ ! -f TavrelData.mdb ]; then
  "$build/tavrel-dbtool" create "$PWD/TavrelData.mdb"
fi
exec "$build/tavrel" "$@"
