#!/usr/bin/env bash
# Builds the Release tree and runs every benchmark.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/deps.sh"
cmake -S "$here" -B "$here/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=OFF >/dev/null
cmake --build "$here/build/release"
for b in "$here"/build/release/bench/*/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] && "$b"
done
