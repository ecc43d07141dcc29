#!/usr/bin/env bash
# OK with a second product of the same company installed: it is untouched, keys, company keys
# and its folder in the company folder.
source "$(dirname "$0")/../harness.sh"
harness_start journey_second_product
install_sample
install_second_product

run_journey ok
expect_equal "$FIRST_STATUS" 1 "exit status of the first run"
expect_sample_removed
expect_product_keys_removed
expect_second_product_kept
expect_temp_clean
harness_finish
