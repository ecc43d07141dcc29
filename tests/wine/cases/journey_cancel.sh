#!/usr/bin/env bash
# Cancel at the question changes nothing at all: files, keys, shortcuts, TEMP; the product
# keeps running.
source "$(dirname "$0")/../harness.sh"
harness_start journey_cancel
install_sample
"$WINE_SERVER" -k; wait_prefix
files_before=$(product_files)
registry_before=$(product_registry)
start_product
sleep 1

run_journey cancel
expect_equal "$QUESTION_TEXT" "This will uninstall QUENDRA Dovrance 98." "question"
expect_equal "$FIRST_STATUS" 1 "exit status"
if kill -0 "$PRODUCT_PID" 2>/dev/null; then pass "product still running"; else fail "product ended"; fi
expect_no_path "$C_DRIVE/product/closed.txt"
"$WINE_SERVER" -k; wait_prefix
expect_equal "$(product_files)" "$files_before" "files, shortcuts and TEMP"
expect_equal "$(product_registry)" "$registry_before" "keys and values"
[ -n "$registry_before" ] && [ -n "$files_before" ] || fail "nothing was compared"
harness_finish
