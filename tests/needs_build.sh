#!/usr/bin/env bash
# Runs a test that needs what another build makes; without it, says which build and skips.
#   needs_build.sh PRESET FILE COMMAND [ARG...]
preset=$1 file=$2
shift 2
if [ ! -e "$file" ]; then
    echo "skipped: $file is missing; it comes from the $preset build (bash scripts/build.sh $preset)"
    exit 77
fi
exec "$@"
