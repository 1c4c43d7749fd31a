#!/usr/bin/env bash
# Installs what is missing, builds KT-ED with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/setup-debian.sh"
build="$here/build/test"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKTED_SANITIZE=ON -DKTED_WERROR=ON >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
