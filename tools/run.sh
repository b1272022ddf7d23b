#!/usr/bin/env bash
# Installs what is missing, builds the Release program folder and starts Orvane.
# Extra arguments go to the program; with none it plays the demo recording
# of the program folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/deps.sh"
cmake -S "$here" -B "$here/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=OFF >/dev/null
cmake --build "$here/build/release"
if [ $# -eq 0 ]; then
  set -- "$here/build/release/orvane/samples/demo.orv"
fi
exec "$here/build/release/orvane/orvane" "$@"
