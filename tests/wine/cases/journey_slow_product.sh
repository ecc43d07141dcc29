#!/usr/bin/env bash
# The installed product itself runs and takes two seconds to close, saving its settings under
# the current user on the way out: the first run waits for it to end, so that its program file
# can be deleted and its key does not come back after the cleanup.
source "$(dirname "$0")/../harness.sh"
harness_start journey_slow_product
install_sample
start_product "$INSTALL_DIR/Dovrance.exe" "$INSTALL_WIN\\Dovrance.exe" /slow
sleep 1

run_journey ok
expect_equal "$FIRST_STATUS" 1 "exit status of the first run"
expect_path "$C_DRIVE/product/closed.txt"
expect_sample_removed
expect_no_path "$COMPANY_DIR"
expect_product_keys_removed
expect_no_key hkcu 'Software\QUENDRA Software'
expect_no_key hklm 'Software\QUENDRA Software'
expect_no_key hklm 'Software\Microsoft\Windows\CurrentVersion\Uninstall\QuendraDovrance'
expect_temp_clean
harness_finish
