#!/usr/bin/env bash
# Runs every test: installs what is missing, builds all presets, then the host unit tests, the
# fuzz target for a short bounded time,
# binary check of both Windows builds and the end-to-end tests under Wine, through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh host win32 win64 fuzz
ctest --preset host
