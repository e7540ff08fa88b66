#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. CTest starts a
# throwaway PostgreSQL cluster on a free loopback port and removes it after.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${BUILD_DIR:-$root/build}"
ctest --output-on-failure "$@"
