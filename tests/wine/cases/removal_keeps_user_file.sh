#!/usr/bin/env bash
# A file of the user's in the install folder stays, and so do its folder and the company
# folder; the product's own files go all the same, and nothing else of the user's is touched.
source "$(dirname "$0")/../harness.sh"
harness_start removal_keeps_user_file
install_sample
echo "my notes" > "$INSTALL_DIR/my notes.txt"
mkdir -p "$C_DRIVE/users/$WIN_USER/Documents"
echo "letter" > "$C_DRIVE/users/$WIN_USER/Documents/letter.txt"
echo "draft" > "$TEMP_DIR/draft.txt"
cp "$WIN64_BUILD/uninstall.exe" "$TEMP_DIR/uninstall.exe"

run_program "$TEMP_WIN\\uninstall.exe" /internally
expect_equal "$(wait_program)" 1 "exit status"
wait_prefix
expect_product_files_removed
expect_equal "$(cat "$INSTALL_DIR/my notes.txt")" "my notes" "the user's file"
expect_equal "$(ls -A "$INSTALL_DIR")" "my notes.txt" "install folder holds"
expect_path "$COMPANY_DIR"
expect_equal "$(cat "$C_DRIVE/users/$WIN_USER/Documents/letter.txt")" "letter" "document"
expect_equal "$(cat "$TEMP_DIR/draft.txt")" "draft" "file in TEMP"
expect_temp_clean
harness_finish
