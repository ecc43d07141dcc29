#!/usr/bin/env bash
# Runs every test: installs what is missing, builds all presets, then runs through CTest the host
# unit tests, the binary check of both Windows builds, the end-to-end tests under Wine and the
# fuzz target for a short, bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh host win32 win64 fuzz
ctest --preset host
