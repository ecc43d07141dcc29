#!/usr/bin/env bash
# OK at the question: the product is asked to close, the uninstall entry goes, and a copy of
# the program in TEMP is started with the switch (it shows that it runs the removal by asking
# for the install path, which this case leaves out).
source "$(dirname "$0")/../harness.sh"
harness_start first_run_ok
seed_registry <<'REG'
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuendraDovrance]
"DisplayName"="QUENDRA Dovrance 98"
REG
mkdir -p "$C_DRIVE/setup"
cp "$WIN64_BUILD/uninstall.exe" "$C_DRIVE/setup/uninstall.exe"
start_product
sleep 1

run_program 'C:\setup\uninstall.exe'
box=$(wait_box) || fail "no question shown"
answer_box "$box" ok
expect_equal "$(wait_program)" 1 "exit status of the first run"
second=""
for _ in $(seq 100); do
    [ "$(box_text)" = "Can not find install path to remove files." ] && { second=yes; break; }
    sleep 0.1
done
expect_equal "$second" yes "the copy in TEMP runs the removal"
expect_path "$TEMP_DIR/uninstall.exe"
expect_path "$C_DRIVE/product/closed.txt"
box=$(wait_box) && answer_box "$box" ok
wait_prefix
expect_no_key hklm 'Software\Microsoft\Windows\CurrentVersion\Uninstall\QuendraDovrance'
expect_path "$C_DRIVE/setup/uninstall.exe"
harness_finish
