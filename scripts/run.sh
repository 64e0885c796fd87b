#!/usr/bin/env bash
# Installs what is needed, builds and installs the tool, and starts it.
# Without a display it runs under a virtual X server (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default
cmake --install build >/dev/null

prefix=$(sed -n 's/^TAVRIN_INSTALL_DIR:PATH=//p' build/CMakeCache.txt)
run=("$prefix/Bin/tavrin-manager")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1920x1080x24" "${run[@]}")
fi
exec "${run[@]}"
