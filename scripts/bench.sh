#!/usr/bin/env bash
# Runs every benchmark program of the default build (scripts/build.sh builds
# them) one after the other, each with the arguments given here, e.g.
#     scripts/bench.sh --benchmark_min_time=0.01
# Ends with status 1 when any program did, that is when one of its runs did not
# complete (a timeout, a board that did not answer, a program that failed), and
# names those programs at the end.
set -uo pipefail
cd "$(dirname "$0")/.."
# The programs only: the build folder also holds bench_*_autogen folders.
programs=()
for candidate in build/bench/bench_*; do
    [ -f "$candidate" ] && [ -x "$candidate" ] && programs+=("$candidate")
done
if [ ${#programs[@]} -eq 0 ]; then
    echo "No benchmark programs in build/bench: run scripts/build.sh first." >&2
    exit 1
fi
failed=()
for program in "${programs[@]}"; do
    echo "== $(basename "$program")"
    "$program" "$@" || failed+=("$(basename "$program")")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Did not complete: ${failed[*]}" >&2
    exit 1
fi
echo "Every benchmark completed."
