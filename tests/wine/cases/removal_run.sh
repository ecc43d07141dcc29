#!/usr/bin/env bash
# The removal run, started from its copy in TEMP over a sample installation: shortcuts, keys
# under both roots, files, pictures, the installed uninstaller and both folders go, and once
# every process has ended TEMP holds neither the copy nor a script.
source "$(dirname "$0")/../harness.sh"
harness_start removal_run
install_sample
cp "$WIN64_BUILD/uninstall.exe" "$TEMP_DIR/uninstall.exe"
temp_before=$(temp_listing)

: > "$WORK/seen"
start_ms=$(now_ms)
run_program "$TEMP_WIN\\uninstall.exe" /internally
watch_removal 30 || fail "TEMP did not become clean"
echo "time from start to a clean TEMP: $(( ${CLEAN_MS:-$start_ms} - start_ms )) ms"
expect_equal "$(wait_program)" 1 "exit status"
wait_prefix
expect_sample_removed
expect_product_keys_removed
expect_no_key hkcu 'Software\QUENDRA Software'
expect_no_key hklm 'Software\QUENDRA Software'
expect_key hklm 'Software\Microsoft\Windows\CurrentVersion\App Paths'
expect_no_path "$COMPANY_DIR"
expect_path "$C_DRIVE/Program Files"
expect_equal "$(temp_listing)" "$(echo "$temp_before" | grep -vx uninstall.exe)" "TEMP afterwards"
harness_finish
