#!/usr/bin/env bash
# A long fuzzing run of one target, its corpus kept between runs, and a summary line for the
# README's figures: executions, executions a second, coverage, corpus, findings and memory.
#
#   bash scripts/fuzz_long.sh TARGET SECONDS     (TARGET: fuzz_both_phases or fuzz_shipped_program)
#
# Corpus:   build/fuzz-long/TARGET/corpus (seeded from tests/fuzz/corpus, grows run by run)
# Findings: build/fuzz-long/TARGET/findings
# Log:      build/fuzz-long/TARGET/last.log, memory.log (resident memory once a minute)
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?target}
seconds=${2:?seconds}
bash scripts/setup.sh
bash scripts/build.sh fuzz win32 >/dev/null

work=build/fuzz-long/$target
mkdir -p "$work/corpus" "$work/findings"
corpus_before=$(ls "$work/corpus" | wc -l)
log=$work/last.log
# The same settings as the test command's short run (tests/fuzz/run_fuzzer.sh).
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:max_malloc_fill_size=0}
"build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -use_memcmp=0 \
    -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" tests/fuzz/corpus \
    > "$log" 2>&1 &
pid=$!
# Resident memory once a minute, to see that it stays flat.
: > "$work/memory.log"
start=$SECONDS
while kill -0 "$pid" 2>/dev/null; do
    sleep 60
    rss=$(awk '/^VmRSS/ {print int($2 / 1024)}' "/proc/$pid/status" 2>/dev/null) &&
        [ -n "$rss" ] && echo "$((SECONDS - start)) s: $rss MB" >> "$work/memory.log"
done
set +e
wait "$pid"
status=$?
set -e

stat() { awk -v key="stat::$1:" '$1 == key {print $2}' "$log"; }
rss_early=$(head -n 1 "$work/memory.log" | awk '{print $3 " MB after " $1 " s"}')
rss_last=$(tail -n 1 "$work/memory.log" | awk '{print $3 " MB after " $1 " s"}')
last_status=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
cov=$(echo "$last_status" | grep -o 'cov: [0-9]*' | awk '{print $2}')
features=$(echo "$last_status" | grep -o 'ft: [0-9]*' | awk '{print $2}')
findings=$(ls "$work/findings" | wc -l)
echo "$target, $seconds s: $(stat number_of_executed_units) executions, $(stat average_exec_per_sec)/s," \
     "coverage $cov edges ($features features), corpus $corpus_before -> $(ls "$work/corpus" | wc -l) inputs," \
     "$findings finding(s), resident memory ${rss_early:-?} -> ${rss_last:-?} (peak $(stat peak_rss_mb) MB)," \
     "exit status $status"
[ "$findings" -eq 0 ] || echo "findings in $work/findings; reproduce with: build/fuzz/$target FILE"
exit "$status"
