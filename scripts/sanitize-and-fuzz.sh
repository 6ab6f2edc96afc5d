#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# runs the whole test suite in that build, then runs each fuzz target for a
# bounded time (FUZZ_SECONDS, default 60). Any finding fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SANITIZE_BUILD_DIR:-$root/build-sanitize}"
seconds="${FUZZ_SECONDS:-60}"

EXTRA_PACKAGES="clang libclang-rt-14-dev" "$root/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DPELIDOR7_FUZZ=ON -DPELIDOR7_WERROR="${PELIDOR7_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

for target in "$build"/tests/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name="$(basename "$target")"
    corpus="$build/fuzz-corpus/$name"
    mkdir -p "$corpus"
    echo "Fuzzing $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -print_final_stats=1 \
        "$corpus" "$root/tests/fuzz/seeds/$name"
done
