#!/usr/bin/env bash
# Makes the Wine prefix that every end-to-end test copies (wineboot is slow; a copy is not).
source "$(dirname "$0")/harness.sh"
rm -rf "$WINE_TEMPLATE"
make_template
