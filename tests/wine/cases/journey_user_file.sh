#!/usr/bin/env bash
# OK with a file of the user's in the install folder: that file and its folder stay, everything
# else of the product goes.
source "$(dirname "$0")/../harness.sh"
harness_start journey_user_file
install_sample
echo "my high scores" > "$INSTALL_DIR/scores.txt"

run_journey ok
expect_equal "$FIRST_STATUS" 1 "exit status of the first run"
expect_product_files_removed
expect_equal "$(ls -A "$INSTALL_DIR")" "scores.txt" "install folder holds"
expect_equal "$(cat "$INSTALL_DIR/scores.txt")" "my high scores" "the user's file"
expect_product_keys_removed
expect_temp_clean
harness_finish
