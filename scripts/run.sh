#!/usr/bin/env bash
# Installs what is missing, builds Fretlyn and starts it on the sample tariff.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFRETLYN_TESTS=OFF >/dev/null
cmake --build "$root/build" --target fretlyn
exec "$root/build/app/fretlyn" "$@"
