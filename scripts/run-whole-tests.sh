#!/bin/sh
# Runs every test program whole, in one process each, with its tests in a random order: a test that
# passes alone (as ctest runs it) but depends on what an earlier test left behind fails here.
# Usage: scripts/run-whole-tests.sh BUILD_DIR
set -e
build="${1:-build}"
status=0
for prog in $(find "$build/tests" -type f -executable -path '*/tests/*/*' | sort); do
    case "$(basename "$prog")" in *.sh) continue ;; esac
    if ! QT_QPA_PLATFORM=offscreen "$prog" --gtest_shuffle --gtest_brief=1 >"$prog.whole.log" 2>&1; then
        echo "FAILED (whole, shuffled): $prog; see $prog.whole.log"
        grep -E "random seed|FAILED" "$prog.whole.log" || true
        status=1
    fi
done
exit $status
