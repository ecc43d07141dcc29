#!/usr/bin/env bash
# A product installed from a CD-ROM: every installed file, picture, the installed uninstaller
# and both shortcuts are read-only. All of them go, and so do both folders.
source "$(dirname "$0")/../harness.sh"
harness_start journey_read_only_install
install_sample
for name in "${INSTALLED_FILES[@]}" "${PICTURES[@]}" uninstall.exe; do chmod 444 "$INSTALL_DIR/$name"; done
chmod 444 "$STARTUP_DIR/$CAPTION.lnk" "$PROGRAMS_DIR/$CAPTION.lnk"

run_journey ok
expect_equal "$FIRST_STATUS" 1 "exit status of the first run"
expect_sample_removed
expect_no_path "$COMPANY_DIR"
expect_product_keys_removed
expect_temp_clean
harness_finish
