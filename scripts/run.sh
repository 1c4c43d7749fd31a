#!/usr/bin/env bash
# Installs what is missing, builds KT-ED and starts it. When the simulated
# controller is built, it is started first and the program is wired to it,
# so that "Reading from C/T" finds a controller at once.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/setup-debian.sh"
build="$here/build/app"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
exec "$build/bin/kted" "$@"
