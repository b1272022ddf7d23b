#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test through CTest.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/deps.sh"
cmake -S "$here" -B "$here/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON >/dev/null
cmake --build "$here/build/asan"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$here/build/asan"
ctest --output-on-failure -j"$(nproc)" --timeout 300
