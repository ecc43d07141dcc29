#!/usr/bin/env bash
# A second product of the same company: its keys below both roots, the company keys that hold
# them and its folder stay, while everything of this product goes.
source "$(dirname "$0")/../harness.sh"
harness_start removal_second_product
install_sample
install_second_product
cp "$WIN64_BUILD/uninstall.exe" "$TEMP_DIR/uninstall.exe"

run_program "$TEMP_WIN\\uninstall.exe" /internally
expect_equal "$(wait_program)" 1 "exit status"
wait_prefix
expect_sample_removed
expect_product_keys_removed
expect_second_product_kept
expect_temp_clean
harness_finish
