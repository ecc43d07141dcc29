#!/usr/bin/env bash
# The program ends with status 1 after either run: the question cancelled, and the removal run
# with nothing installed (it reports the missing install path).
source "$(dirname "$0")/../harness.sh"
harness_start exit_status
cp "$WIN64_BUILD/uninstall.exe" "$TEMP_DIR/uninstall.exe"

run_program "$TEMP_WIN\\uninstall.exe"
box=$(wait_box) || fail "no question shown"
expect_equal "$(box_text)" "This will uninstall QUENDRA Dovrance 98." "question"
answer_box "$box" cancel
expect_equal "$(wait_program)" 1 "exit status without a switch"

run_program "$TEMP_WIN\\uninstall.exe" /internally
box=$(wait_box) || fail "no message shown"
expect_equal "$(box_text)" "Can not find install path to remove files." "message"
answer_box "$box" ok
expect_equal "$(wait_program)" 1 "exit status with /internally"
wait_prefix
harness_finish
