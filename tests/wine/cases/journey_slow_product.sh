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
expect_product_gone
expect_no_key hkcu 'Software\QUENDRA Software'
expect_no_key hklm 'Software\QUENDRA Software'
expect_temp_clean
harness_finish
