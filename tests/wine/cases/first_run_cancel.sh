#!/usr/bin/env bash
# Cancel at the question changes nothing: the uninstall entry, the running product and TEMP
# stay as they were.
source "$(dirname "$0")/../harness.sh"
harness_start first_run_cancel
install_sample
start_product
sleep 1
temp_before=$(temp_listing)

run_program "$INSTALL_WIN\\uninstall.exe"
box=$(wait_box) || fail "no question shown"
answer_box "$box" cancel
expect_equal "$(wait_program)" 1 "exit status"
sleep 1
if kill -0 "$PRODUCT_PID" 2>/dev/null; then pass "product still running"; else fail "product ended"; fi
expect_no_path "$C_DRIVE/product/closed.txt"
expect_equal "$(temp_listing)" "$temp_before" "TEMP after cancel"
"$WINE_SERVER" -k
wait_prefix
expect_key hklm 'Software\Microsoft\Windows\CurrentVersion\Uninstall\QuendraDovrance'
expect_key hklm 'Software\QUENDRA Software\Dovrance'
expect_path "$INSTALL_DIR/uninstall.exe"
harness_finish
