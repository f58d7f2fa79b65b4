#!/bin/sh
# Runs Orvane (or the program PROGRAM names, e.g. PROGRAM=kestil/Kestil) against the simulated ECU:
# starts ecusim in the background on the socket where the program looks for the USB adapter, runs the
# program, and stops the simulator when the program ends.
# Usage: [PROGRAM=kestil/Kestil] scripts/run-with-sim.sh BUILD_DIR [ecusim options...]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift

"$build/ecusim/ecusim" "$@" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT INT TERM

status=0
"$build/${PROGRAM:-orvane/Orvane}" || status=$?
exit "$status"
