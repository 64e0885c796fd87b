#!/usr/bin/env bash
# Configures and builds one CMake preset (default: "default"; "asan" for the sanitizer build).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
