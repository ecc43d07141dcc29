#!/usr/bin/env bash
# The copy into TEMP fails (a folder stands where it must go): the failure is reported, nothing
# has been removed, and the uninstall entry stays, so that the user can try again from the list
# of installed programs.
source "$(dirname "$0")/../harness.sh"
harness_start journey_failed_hand_off
install_sample
mkdir "$TEMP_DIR/uninstall.exe"

run_program "$INSTALL_WIN\\uninstall.exe"
box=$(wait_box) || fail "no question shown"
answer_box "$box" ok
message=""
for _ in $(seq 100); do
    message=$(box_text)
    [ -n "$message" ] && [ "$message" != "This will uninstall $CAPTION." ] && break
    sleep 0.1
done
expect_equal "$message" "Can not copy uninstall.exe to TEMP." "message after OK"
box=$(wait_box) && answer_box "$box" ok
expect_equal "$(wait_program)" 1 "exit status of the first run"
wait_prefix
expect_key hklm 'Software\Microsoft\Windows\CurrentVersion\Uninstall\QuendraDovrance'
expect_key hklm 'Software\QUENDRA Software\Dovrance'
expect_key hkcu 'Software\QUENDRA Software\Dovrance\Settings\Recent\Deep'
for name in "${INSTALLED_FILES[@]}" "${PICTURES[@]}" uninstall.exe; do expect_path "$INSTALL_DIR/$name"; done
expect_path "$STARTUP_DIR/$CAPTION.lnk"
expect_path "$PROGRAMS_DIR/$CAPTION.lnk"
expect_equal "$(ls -A "$TEMP_DIR/uninstall.exe")" "" "the folder in the copy's place"
harness_finish
