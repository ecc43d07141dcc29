#!/usr/bin/env bash
# The program's main job, for real: builds it, installs a sample "QUENDRA Dovrance 98" into a
# throwaway Wine prefix as the product's installer would (files, pictures, the uninstaller, keys
# under both roots, App Paths and uninstall entries, both shortcuts, the product running), then
# starts the installed uninstall.exe from the install folder without a switch, as a user would,
# presses OK, waits until every process has ended, and prints what was removed and kept.
# Exits non-zero when anything that should be gone is still there.
#
#   bash scripts/demo.sh                 answered by the script, on a hidden X display
#   bash scripts/demo.sh --interactive   you answer, on your own $DISPLAY
set -euo pipefail
cd "$(dirname "$0")/.."
INTERACTIVE=0
[ "${1:-}" = "--interactive" ] && INTERACTIVE=1

bash scripts/setup.sh
bash scripts/build.sh win32 win64 >/dev/null
python3 tests/binary/check_binary.py build/win32/uninstall.exe i386 | tail -n 1

export WINE_TEMPLATE="$PWD/build/demo/template" WINE_WORK="$PWD/build/demo"
export USE_OWN_DISPLAY=$INTERACTIVE KEEP_PREFIX=1
source tests/wine/harness.sh
set +e
echo "Making a throwaway Wine prefix in build/demo (the first time takes about 15 s)..."
make_template
harness_start run

install_sample
"$WINE_SERVER" -k; wait_prefix

ITEMS=()     # label|kind|what|expected
for name in "${INSTALLED_FILES[@]}" "${PICTURES[@]}" uninstall.exe; do
    ITEMS+=("$name|path|$INSTALL_DIR/$name|removed")
done
ITEMS+=("install folder|path|$INSTALL_DIR|removed"
        "company folder|path|$COMPANY_DIR|removed"
        "Startup shortcut|path|$STARTUP_DIR/$CAPTION.lnk|removed"
        "Programs shortcut|path|$PROGRAMS_DIR/$CAPTION.lnk|removed"
        "HKCU product key (with 3 levels)|hkcu|Software\\QUENDRA Software\\Dovrance|removed"
        "HKCU company key|hkcu|Software\\QUENDRA Software|removed"
        "HKLM product key|hklm|Software\\QUENDRA Software\\Dovrance|removed"
        "HKLM company key|hklm|Software\\QUENDRA Software|removed"
        "App Paths entry|hklm|Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrance.exe|removed"
        "uninstall entry|hklm|Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuendraDovrance|removed"
        "Program Files folder|path|$C_DRIVE/Program Files|kept")

state_of() {
    local kind what
    IFS='|' read -r _ kind what _ <<< "$1"
    case $kind in
        path) [ -e "$what" ] && echo present || echo removed ;;
        *) has_key "$kind" "$what" && echo present || echo removed ;;
    esac
}
BEFORE=()
for item in "${ITEMS[@]}"; do BEFORE+=("$(state_of "$item")"); done

start_product "$INSTALL_DIR/Dovrance.exe" "$INSTALL_WIN\\Dovrance.exe"
sleep 1
echo "Starting $INSTALL_WIN\\uninstall.exe ..."
SCREENSHOT="$WORK/question.png"
run_journey ok

printf '\n%-34s %-8s %-8s %s\n' "item" "before" "after" ""
status=0
for i in "${!ITEMS[@]}"; do
    IFS='|' read -r label _ _ expected <<< "${ITEMS[$i]}"
    after=$(state_of "${ITEMS[$i]}")
    [ "$after" = present ] && after=kept
    verdict=ok
    if [ "$after" != "$expected" ]; then verdict="SHOULD BE ${expected^^}"; status=1; fi
    printf '%-34s %-8s %-8s %s\n' "$label" "${BEFORE[$i]}" "$after" "$verdict"
done
closed=no; [ -e "$C_DRIVE/product/closed.txt" ] && closed=yes
printf '%-34s %-8s %-8s %s\n' "product asked to close" "running" "closed: $closed" "$([ $closed = yes ] && echo ok || { status=1; echo FAILED; })"
clean=yes; temp_is_clean || { clean=no; status=1; }
printf '%-34s %-8s %-8s %s\n' "TEMP: no copy and no script" "" "$clean" "$([ $clean = yes ] && echo ok || echo FAILED)"
echo
echo "First run's exit status: $FIRST_STATUS"
echo "Time from OK to a clean TEMP: $OK_TO_CLEAN_MS ms (from the copy showing in TEMP: $COPY_TO_CLEAN_MS ms)"
echo "Screenshot of the question: $SCREENSHOT"
echo "The prefix stays in $WORK/prefix for a look; the next run replaces it."
[ "$status" -eq 0 ] && echo "Uninstall complete: everything that should be gone is gone." ||
    echo "Something that should be gone is still there."
exit $status
