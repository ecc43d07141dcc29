#!/usr/bin/env bash
# OK with an earlier copy of uninstall.exe in TEMP (not running) and delme1.bat and delme2.bat
# left from before: the copy is replaced, the script is delme3.bat, the earlier scripts stay.
source "$(dirname "$0")/../harness.sh"
harness_start journey_earlier_copy
install_sample
echo "an earlier copy" > "$TEMP_DIR/uninstall.exe"
printf 'rem one\r\n' > "$TEMP_DIR/delme1.bat"
printf 'rem two\r\n' > "$TEMP_DIR/delme2.bat"
TEMP_KEEP="delme1.bat delme2.bat"

run_journey ok
expect_equal "$FIRST_STATUS" 1 "exit status of the first run"
expect_sample_removed
if grep -qx delme3.bat "$WORK/seen"; then pass "the script was delme3.bat"; else
    fail "no delme3.bat seen; TEMP showed: $(sort -u "$WORK/seen" | tr '\n' ' ')"; fi
expect_no_path "$TEMP_DIR/uninstall.exe"
expect_no_path "$TEMP_DIR/delme3.bat"
expect_equal "$(cat "$TEMP_DIR/delme1.bat")" "$(printf 'rem one\r')" "delme1.bat"
expect_equal "$(cat "$TEMP_DIR/delme2.bat")" "$(printf 'rem two\r')" "delme2.bat"
harness_finish
