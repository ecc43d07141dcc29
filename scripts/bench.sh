#!/usr/bin/env bash
# Benchmark, not a test: medians over several full uninstalls under Wine of the time from OK to
# a clean TEMP, split into the first run, the second run and the script, and the binary sizes.
#
#   bash scripts/bench.sh [RUNS]     (default 5)
#
# Under Wine on Xvfb without a window manager, MessageBoxA returns about 2 s after the key that
# answers it, whatever the program, so the split starts at the first thing the program does
# after the answer: its copy showing in TEMP.
#   first run:  copy shows in TEMP -> the first run's process has ended
#   second run: copy shows in TEMP -> the script shows in TEMP (the removal is done)
#   script:     script shows       -> TEMP is clean (copy and script deleted)
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-5}
bash scripts/setup.sh
bash scripts/build.sh win32 win64 >/dev/null

export WINE_TEMPLATE="$PWD/build/bench/template" WINE_WORK="$PWD/build/bench"
source tests/wine/harness.sh
set +e
make_template

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }

: > "$WINE_WORK/times"
for run in $(seq "$RUNS"); do
    ( harness_start "run$run"
      install_sample
      start_product
      sleep 1
      run_journey ok
      [ -n "$CLEAN_MS" ] && [ -n "$FIRST_END_MS" ] && [ -n "$SCRIPT_MS" ] ||
          { echo "run $run did not finish"; exit 1; }
      echo "$((FIRST_END_MS - COPY_MS)) $((SCRIPT_MS - COPY_MS)) $((CLEAN_MS - SCRIPT_MS))" \
           "$((CLEAN_MS - COPY_MS)) $((CLEAN_MS - OK_MS))" \
          | tee -a "$WINE_WORK/times" )
done

column() { awk -v c="$1" '{print $c}' "$WINE_WORK/times" | median; }
echo
echo "Medians over $(wc -l < "$WINE_WORK/times") runs (ms):"
echo "  first run (copy in TEMP -> first run ended):    $(column 1)"
echo "  second run (copy in TEMP -> script in TEMP):    $(column 2)"
echo "  script (script in TEMP -> TEMP clean):          $(column 3)"
echo "  copy in TEMP -> TEMP clean:                     $(column 4)"
echo "  OK pressed -> TEMP clean (with Wine's ~2 s box): $(column 5)"
echo "Sizes: build/win32/uninstall.exe $(stat -c %s build/win32/uninstall.exe) bytes," \
     "build/win64/uninstall.exe $(stat -c %s build/win64/uninstall.exe) bytes"
