#!/usr/bin/env bash
# Installs what is needed, builds and installs the tool, starts a simulated
# board, and starts the tool with its settings naming the board's port, so the
# port opens at start and the connection check finds a board. Closing the tool
# stops the simulator. Without a display it runs under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default
cmake --install build >/dev/null

cache() { sed -n "s/^$1:PATH=//p" build/CMakeCache.txt; }
prefix=$(cache TAVRIN_INSTALL_DIR)
ports_dir=$(cache TAVRIN_PORTS_DIR)
bin="$prefix/Bin"

log=$(mktemp)
"$bin/kordex-sim" --dir "$ports_dir" --name kordex-demo >"$log" 2>&1 &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 100); do
    port=$(head -n 1 "$log")
    [ -n "$port" ] && break
    kill -0 "$sim" 2>/dev/null || { cat "$log"; exit 1; }
    sleep 0.05
done
[ -n "$port" ] || { echo "the board simulator did not start" >&2; exit 1; }

index=$("$bin/tavrin-list-ports" | grep -n -x -F "$port" | cut -d: -f1)
printf '%s\r\n%s\r\n' "$port" "$((${index:-0} - 1))" >"$bin/COM_1.INI"
echo "Simulated board on $port"

run=("$bin/tavrin-manager")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1920x1080x24" "${run[@]}")
fi
"${run[@]}"
