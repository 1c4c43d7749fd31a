#!/usr/bin/env bash
# Installs what is missing, builds KT-ED and starts it together with the
# simulated controller, wired to it as port COM1, so that "Reading from C/T"
# finds a controller at once. With a real controller on a serial adapter,
# start the program alone: build/app/bin/kted
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/setup-debian.sh"
build="$here/build/app"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target kted kted-sim

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "KT-ED needs a graphical desktop and no display was found." >&2
  echo "Start it from a desktop session, or under a virtual display: xvfb-run -a bash scripts/run.sh" >&2
  exit 2
fi

devfile="$(mktemp)"
# Lines typed in this terminal go to the simulated controller: faults, and
# its inputs for the I/O monitor (see the README).
"$build/bin/kted-sim" >"$devfile" <&0 &
sim=$!
trap 'kill $sim 2>/dev/null; rm -f "$devfile"' EXIT
for _ in $(seq 50); do
  [ -s "$devfile" ] && break
  sleep 0.1
done
device="$(head -n1 "$devfile")"
if [ -z "$device" ]; then
  echo "The simulated controller did not start; starting KT-ED without it." >&2
  "$build/bin/kted" "$@"
else
  echo "Simulated controller on $device (COM1). Lines typed here go to it, e.g. \"input home on\"."
  KTED_COM1="$device" "$build/bin/kted" "$@"
fi
