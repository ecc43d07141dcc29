#!/usr/bin/env bash
# A long fuzzing run of one target, its corpus kept between runs, and a summary line for the
# README's figures: executions, executions a second, coverage, corpus, findings and memory.
# A finding does not end the run: it is kept, and the fuzzer goes on for the time left.
#
#   bash scripts/fuzz_long.sh TARGET SECONDS     (TARGET: fuzz_both_phases or fuzz_shipped_program)
#
# Corpus:   build/fuzz-long/TARGET/corpus (seeded from tests/fuzz/corpus, grows run by run)
# Findings: build/fuzz-long/TARGET/findings
# Logs:     build/fuzz-long/TARGET/last.log (one part after another), memory.log (once a minute)
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?target}
seconds=${2:?seconds}
bash scripts/setup.sh
bash scripts/build.sh fuzz win32 >/dev/null

work=build/fuzz-long/$target
mkdir -p "$work/corpus" "$work/findings"
corpus_before=$(ls "$work/corpus" | wc -l)
findings_before=$(ls "$work/findings" | wc -l)
log=$work/last.log
: > "$log"
: > "$work/memory.log"
# The same settings as the test command's short run (tests/fuzz/run_fuzzer.sh).
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:max_malloc_fill_size=0}

start=$SECONDS
executions=0
parts=0
while [ $((seconds - (SECONDS - start))) -gt 5 ]; do
    left=$((seconds - (SECONDS - start)))
    "build/fuzz/$target" -max_total_time="$left" -timeout=10 -rss_limit_mb=4096 -use_memcmp=0 \
        -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" tests/fuzz/corpus \
        > "$work/part.log" 2>&1 &
    pid=$!
    next_sample=$(( (SECONDS - start) / 60 * 60 + 60 ))
    while kill -0 "$pid" 2>/dev/null; do
        sleep 1
        if [ $((SECONDS - start)) -ge "$next_sample" ]; then
            rss=$(awk '/^VmRSS/ {print int($2 / 1024)}' "/proc/$pid/status" 2>/dev/null || true)
            [ -n "$rss" ] && echo "$((SECONDS - start)) s: $rss MB" >> "$work/memory.log"
            next_sample=$((next_sample + 60))
        fi
    done
    wait "$pid" || true
    cat "$work/part.log" >> "$log"
    part_executions=$(awk '$1 == "stat::number_of_executed_units:" {print $2}' "$work/part.log")
    executions=$((executions + ${part_executions:-0}))
    parts=$((parts + 1))
done
elapsed=$((SECONDS - start))

last_status=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
cov=$(echo "$last_status" | grep -o 'cov: [0-9]*' | awk '{print $2}')
features=$(echo "$last_status" | grep -o 'ft: [0-9]*' | awk '{print $2}')
peak=$(awk '$1 == "stat::peak_rss_mb:" {print $2}' "$log" | sort -n | tail -n 1)
findings=$(( $(ls "$work/findings" | wc -l) - findings_before ))
rss_early=$(head -n 1 "$work/memory.log" | awk '{print $3 " MB after " $1 " s"}')
rss_last=$(tail -n 1 "$work/memory.log" | awk '{print $3 " MB after " $1 " s"}')
echo "$target, $elapsed s: $executions executions, $((executions / (elapsed > 0 ? elapsed : 1)))/s," \
     "coverage $cov edges ($features features), corpus $corpus_before -> $(ls "$work/corpus" | wc -l) inputs," \
     "$findings new finding(s), resident memory ${rss_early:-?} -> ${rss_last:-?} (peak ${peak:-?} MB)," \
     "$parts part(s)"
[ "$findings" -eq 0 ] || echo "findings in $work/findings; reproduce with: build/fuzz/$target FILE"
[ "$findings" -eq 0 ]
