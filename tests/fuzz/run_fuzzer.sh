#!/usr/bin/env bash
# Runs the fuzz target from the seed corpus for a bounded time and reports its executions.
# Usage: run_fuzzer.sh FUZZER SECONDS
# A longer run: bash tests/fuzz/run_fuzzer.sh build/fuzz/fuzz_both_phases 3600
set -euo pipefail
fuzzer=$1
seconds=$2
seeds="$(cd "$(dirname "$0")" && pwd)/corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/findings"
# AddressSanitizer and its leak check stay on; for speed it records no stack for each allocation
# and fills none (rerun a finding without ASAN_OPTIONS for allocation stacks). The fuzzer takes
# no hints from memcmp: only the simulation's own lookups call it.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:max_malloc_fill_size=0}
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 -use_memcmp=0 \
    -artifact_prefix="$work/findings/" "$work/corpus" "$seeds" 2>&1 | tail -n 25
status=${PIPESTATUS[0]}
if ls "$work/findings"/* >/dev/null 2>&1; then
    mkdir -p "${FUZZ_FINDINGS:-/tmp/fuzz-findings}"
    cp "$work/findings"/* "${FUZZ_FINDINGS:-/tmp/fuzz-findings}/"
    echo "findings kept in ${FUZZ_FINDINGS:-/tmp/fuzz-findings}"
fi
exit "$status"
