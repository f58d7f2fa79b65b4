#!/bin/sh
# Runs every test program whole, in one process each, with its tests in a random order: a test that
# passes alone (as ctest runs it) but depends on what an earlier test left behind fails here.
# Usage: scripts/run-whole-tests.sh BUILD_DIR
set -e
build="${1:-build}"
status=0
for prog in $(find "$build/tests" -type f -executable -path '*/tests/*/*' | sort); do
    case "$(basename "$prog")" in *.sh) continue ;; esac
    # The 3-D plot's programs need a display with OpenGL: a virtual one with Mesa's software renderer.
    case "$(basename "$prog")" in
    *plot_tests) run="xvfb-run -a -s '-screen 0 1280x1024x24' env QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1" ;;
    *) run="env QT_QPA_PLATFORM=offscreen" ;;
    esac
    # A seed of our own, printed on failure, so that the failing order can be run again.
    seed=$(shuf -i 1-99999 -n 1)
    if ! eval "$run" '"$prog"' --gtest_shuffle --gtest_random_seed=$seed >"$prog.whole.log" 2>&1; then
        echo "FAILED (whole, shuffled with --gtest_random_seed=$seed): $prog; see $prog.whole.log"
        grep -E "FAILED|Failure" "$prog.whole.log" || true
        tail -n 5 "$prog.whole.log"
        status=1
    fi
done
exit $status
