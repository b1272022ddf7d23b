#!/usr/bin/env bash
# Builds the parsers' fuzz targets with clang and libFuzzer (AddressSanitizer
# and UndefinedBehaviorSanitizer) in build/fuzz and runs every target at once,
# each as one low-priority process, for the given number of seconds
# (default 600). New inputs go to build/fuzz/corpus, findings to
# build/fuzz/artifacts; the seed corpora in tests/fuzz/corpus are only read.
# Prints each target's executions; fails when any target found something.
#   bash tools/fuzz.sh [seconds] [target...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
shift || true
"$here/tools/deps.sh"
# The machine is shared: three compile jobs unless told otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-3}"
if ! command -v clang++ >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y clang
fi
build="$here/build/fuzz"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANE_FUZZ=ON -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in "$here"/tests/fuzz/corpus/*/; do targets+=("$(basename "$d")"); done
fi
# Targets that parse files write a scratch file per input: keep it in memory.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
pids=()
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/artifacts/$t"
  nice -n 10 "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$t/" "$build/corpus/$t" "$here/tests/fuzz/corpus/$t" \
    >"$build/$t.log" 2>&1 &
  pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
  t="${targets[$i]}"
  if wait "${pids[$i]}"; then status=ok; else status=FINDING; failed=1; fi
  runs="$(grep -o 'Done [0-9]* runs' "$build/$t.log" | grep -o '[0-9]*' || echo '?')"
  printf '%-12s %-8s %s executions (log: %s)\n' "$t" "$status" "$runs" "$build/$t.log"
done
exit $failed
