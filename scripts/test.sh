#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the normal build first,
# then the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, then
# the serial component's tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
status=0
for preset in default asan tsan; do
    echo "== Build and test: $preset"
    scripts/build.sh "$preset"
    # Most end-to-end tests wait on the line, not the processor: three side by side.
    ctest --preset "$preset" -j3 || status=1
done
exit $status
