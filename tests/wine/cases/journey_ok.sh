#!/usr/bin/env bash
# The whole journey: the installed uninstaller started without a switch while the product runs,
# OK pressed. The product closes and every item of the installation goes, the installed
# uninstaller, the install folder and the empty company folder included; TEMP ends as it was.
source "$(dirname "$0")/../harness.sh"
harness_start journey_ok
install_sample
start_product
sleep 1
temp_before=$(temp_listing)

run_journey ok
echo "from OK to a clean TEMP: $OK_TO_CLEAN_MS ms (from the copy showing: $COPY_TO_CLEAN_MS ms)"
expect_product_gone
expect_no_key hkcu 'Software\QUENDRA Software'
expect_no_key hklm 'Software\QUENDRA Software'
expect_equal "$(temp_listing)" "$temp_before" "TEMP afterwards"
harness_finish
