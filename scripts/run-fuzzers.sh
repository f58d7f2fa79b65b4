#!/bin/sh
# Runs every fuzz target for a fixed time from its committed seed corpus. New inputs go to a scratch
# corpus in the build folder, so the committed seeds stay as they are; a crash fails the run and leaves
# its input (crash-*) in the build folder.
# Usage: scripts/run-fuzzers.sh BUILD_DIR SECONDS
set -e
build="${1:-build-fuzz}"
seconds="${2:-20}"
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0
for seeds in "$root"/fuzz/corpus/*/; do
    name="$(basename "$seeds")"
    scratch="$build/fuzz/corpus-$name"
    mkdir -p "$scratch"
    echo "fuzz_$name: ${seconds}s"
    if ! (cd "$build/fuzz" && QT_QPA_PLATFORM=offscreen "./fuzz_$name" -max_total_time="$seconds" -timeout=10 \
            -print_final_stats=0 "corpus-$name" "$seeds" >"fuzz_$name.log" 2>&1); then
        echo "FAILED: fuzz_$name; see $build/fuzz/fuzz_$name.log"
        tail -n 30 "$build/fuzz/fuzz_$name.log"
        status=1
    fi
done
exit $status
