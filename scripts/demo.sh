#!/usr/bin/env bash
# Builds the program and shows what it is: both Windows binaries and their check.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh win32 win64 >/dev/null
python3 tests/binary/check_binary.py build/win32/uninstall.exe i386
python3 tests/binary/check_binary.py build/win64/uninstall.exe x86-64
