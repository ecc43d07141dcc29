# Shared steps of the end-to-end tests: a throwaway Wine prefix and X display per test, the
# sample installation, the program's runs and the checks of what is left afterwards.
# Source it from a test script; every test calls harness_start first.

set -u
WINE_LOADER=${WINE_LOADER:-/usr/lib/wine/wine64}
WINE_SERVER=${WINE_SERVER:-/usr/lib/wine/wineserver64}
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WIN64_BUILD=${WIN64_BUILD:-$ROOT/build/win64}
WINE_TEMPLATE=${WINE_TEMPLATE:-$ROOT/build/host/wine-template}
WINE_WORK=${WINE_WORK:-$ROOT/build/host/wine-work}
CAPTION="QUENDRA Dovrance 98"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"

FAILURES=0
fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }

# Makes the template prefix once; every test copies it.
make_template() {
    [ -f "$WINE_TEMPLATE/prefix/system.reg" ] && return 0
    rm -rf "$WINE_TEMPLATE" && mkdir -p "$WINE_TEMPLATE"
    WINEPREFIX="$WINE_TEMPLATE/prefix" "$WINE_LOADER" wineboot -i >/dev/null 2>&1
    WINEPREFIX="$WINE_TEMPLATE/prefix" "$WINE_SERVER" -w
    [ -f "$WINE_TEMPLATE/prefix/system.reg" ]
}

harness_stop() {
    "$WINE_SERVER" -k >/dev/null 2>&1
    "$WINE_SERVER" -w >/dev/null 2>&1
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    if [ "${KEEP_PREFIX:-0}" != 1 ]; then rm -rf "$WORK"; fi
}

# harness_start NAME: own prefix (copied from the template) and own display for this test.
harness_start() {
    WORK="$WINE_WORK/$1"
    rm -rf "$WORK" && mkdir -p "$WORK"
    cp -a "$WINE_TEMPLATE/prefix" "$WORK/prefix"
    export WINEPREFIX="$WORK/prefix"
    if [ "${USE_OWN_DISPLAY:-0}" != 1 ]; then
        exec 3>"$WORK/display"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        exec 3>&-
        for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
        export DISPLAY=":$(head -n1 "$WORK/display")"
    fi
    trap harness_stop EXIT
    C_DRIVE="$WINEPREFIX/drive_c"
    WIN_USER=$(ls "$C_DRIVE/users" | grep -vx Public | head -n1)
    TEMP_DIR="$C_DRIVE/users/$WIN_USER/Temp"
    TEMP_WIN="C:\\users\\$WIN_USER\\Temp"
    mkdir -p "$TEMP_DIR"
    STARTUP_DIR="$C_DRIVE/users/$WIN_USER/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp"
    PROGRAMS_DIR="$C_DRIVE/users/$WIN_USER/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
    COMPANY_DIR="$C_DRIVE/Program Files/QUENDRA Software"
    INSTALL_DIR="$COMPANY_DIR/Dovrance"
    INSTALL_WIN="C:\\Program Files\\QUENDRA Software\\Dovrance"
}

# seed_registry: REGEDIT4 lines on standard input, imported in one regedit run.
seed_registry() {
    { echo "REGEDIT4"; echo; cat; } > "$WORK/seed.reg"
    "$WINE_LOADER" regedit /S "$(to_windows_path "$WORK/seed.reg")" >/dev/null 2>&1
}

# seed_registry_unicode: lines in UTF-8 on standard input, for names outside the ANSI code page;
# regedit reads them as a UTF-16 file with a byte-order mark.
seed_registry_unicode() {
    { printf '\xff\xfe'
      { echo "Windows Registry Editor Version 5.00"; echo; cat; } | sed 's/$/\r/' |
          iconv -f UTF-8 -t UTF-16LE; } > "$WORK/seed.reg"
    "$WINE_LOADER" regedit /S "$(to_windows_path "$WORK/seed.reg")" >/dev/null 2>&1
}

# use_profile NAME: the user's TEMP and Startup and Programs folders in a profile named NAME
# (any letters), set as the prefix's TEMP and TMP and its shell-folder values.
use_profile() {
    local profile="C:\\\\users\\\\$1"  # escaped for the .reg file
    TEMP_DIR="$C_DRIVE/users/$1/Temp"
    TEMP_WIN="C:\\users\\$1\\Temp"
    STARTUP_DIR="$C_DRIVE/users/$1/Start Menu/Programs/StartUp"
    PROGRAMS_DIR="$C_DRIVE/users/$1/Start Menu/Programs"
    mkdir -p "$TEMP_DIR" "$STARTUP_DIR"
    seed_registry_unicode <<REG
[HKEY_CURRENT_USER\\Environment]
"TEMP"="$profile\\\\Temp"
"TMP"="$profile\\\\Temp"

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]
"StartUp"="$profile\\\\Start Menu\\\\Programs\\\\StartUp"
"Programs"="$profile\\\\Start Menu\\\\Programs"
REG
}

to_windows_path() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }

INSTALLED_FILES=("Dovrance.exe" "Tessily.htm" "quillane.txt" "ovelt.txt"
    "QUENDRA Dovrance 98 Wendrip.url" "pellory.htm" "skelvin.htm" "torvic.exe" "kwandle.exe"
    "kwandle_dll.dll" "pobbelin.mid")
PICTURES=("vandrel/hill.bmp" "vandrel/lake.jpg" "vandrel/Sky Line.gif")

# install_sample: the files, pictures and installed uninstaller, InstallPath, the keys under
# both roots (nested below the current user), the App Paths and uninstall entries and both
# shortcuts in the folders the prefix's shell-folder values name.
install_sample() {
    mkdir -p "$INSTALL_DIR/vandrel" "$STARTUP_DIR" "$PROGRAMS_DIR"
    local name
    for name in "${INSTALLED_FILES[@]}" "${PICTURES[@]}"; do echo "$name" > "$INSTALL_DIR/$name"; done
    cp "$WIN64_BUILD/uninstall.exe" "$INSTALL_DIR/uninstall.exe"
    echo shortcut > "$STARTUP_DIR/$CAPTION.lnk"
    echo shortcut > "$PROGRAMS_DIR/$CAPTION.lnk"
    local install_reg=${INSTALL_WIN//\\/\\\\}
    seed_registry <<REG
[HKEY_LOCAL_MACHINE\\Software\\QUENDRA Software\\Dovrance]
"InstallPath"="$install_reg"
"Version"="1.0"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dovrance.exe]
@="$install_reg\\\\Dovrance.exe"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuendraDovrance]
"DisplayName"="QUENDRA Dovrance 98"
"UninstallString"="$install_reg\\\\uninstall.exe"

[HKEY_CURRENT_USER\\Software\\QUENDRA Software\\Dovrance]
"Player"="Anna"

[HKEY_CURRENT_USER\\Software\\QUENDRA Software\\Dovrance\\Settings]
"Sound"=dword:00000001

[HKEY_CURRENT_USER\\Software\\QUENDRA Software\\Dovrance\\Settings\\Recent]
"1"="game one"

[HKEY_CURRENT_USER\\Software\\QUENDRA Software\\Dovrance\\Settings\\Recent\\Deep]
"x"="y"
REG
}

# start_product [UNIX_EXE WINDOWS_EXE [/slow]]: the stand-in for the running product, by default
# from C:\product; it leaves C:\product\closed.txt when it is asked to close (with /slow, two
# seconds later, after saving its settings under the current user).
start_product() {
    local unix_exe=${1:-$C_DRIVE/product/product_window.exe}
    local windows_exe=${2:-'C:\product\product_window.exe'}
    mkdir -p "$C_DRIVE/product"
    cp "$WIN64_BUILD/tools/product_window.exe" "$unix_exe"
    "$WINE_LOADER" "$windows_exe" "${@:3}" 'C:\product\closed.txt' >/dev/null 2>&1 &
    PRODUCT_PID=$!
}

# run_program WINDOWS_PATH [ARG...]: starts the program in the background; wait_program gives
# its exit status.
run_program() {
    rm -f "$WORK/status"
    ( "$WINE_LOADER" "$@" >/dev/null 2>&1; echo $? > "$WORK/status" ) &
    PROGRAM_PID=$!
}

# Polls for the status file, so that it also works inside $(...).
wait_program() {
    for _ in $(seq 600); do
        [ -s "$WORK/status" ] && { cat "$WORK/status"; return 0; }
        sleep 0.1
    done
    echo "still running"
}

# wait_box [SECONDS]: prints the X window id of the program's message box once it shows.
wait_box() {
    local limit=$(( ${1:-30} * 10 )) id=""
    for _ in $(seq "$limit"); do
        id=$(xdotool search --name "^$CAPTION\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

box_text() { "$WINE_LOADER" "$(to_windows_path "$WIN64_BUILD/tools/box_text.exe")" "$CAPTION" 2>/dev/null | tr -d '\r'; }

# answer_box ID ok|cancel
answer_box() {
    local key=Return
    [ "$2" = cancel ] && key=Escape
    xdotool key --window "$1" "$key"
}

# wait_prefix [SECONDS]: until every process of the prefix has ended and the registry is saved;
# a process still running after the limit (a box nobody answers, a script that loops) fails.
wait_prefix() {
    if ! timeout "${1:-60}" "$WINE_SERVER" -w; then
        fail "processes of the prefix still running after ${1:-60} s"
        "$WINE_SERVER" -k
        "$WINE_SERVER" -w
    fi
}

# has_key hklm|hkcu 'Software\Key\Path': read from the saved registry once the prefix ended.
# Wine saves a key of its own only when it has values or no sub-keys, so a sub-key's section
# also shows that the key is there.
has_key() {
    local file=system.reg
    [ "$1" = hkcu ] && file=user.reg
    local escaped=${2//\\/\\\\\\\\}
    grep -qi "^\[$escaped\(\]\|\\\\\\\\\)" "$WINEPREFIX/$file"
}

expect_key() { if has_key "$1" "$2"; then pass "key $1\\$2 is there"; else fail "key $1\\$2 is gone"; fi; }
expect_no_key() { if has_key "$1" "$2"; then fail "key $1\\$2 is still there"; else pass "key $1\\$2 is gone"; fi; }
expect_path() { if [ -e "$1" ]; then pass "$1 is there"; else fail "$1 is gone"; fi; }
expect_no_path() { if [ -e "$1" ]; then fail "$1 is still there"; else pass "$1 is gone"; fi; }
expect_equal() { if [ "$1" = "$2" ]; then pass "$3: $1"; else fail "$3: '$1', expected '$2'"; fi; }

# temp_listing: what the temporary folder holds, one name a line.
temp_listing() { ls -A "$TEMP_DIR" | sort; }

harness_finish() {
    if [ "$FAILURES" -gt 0 ]; then
        echo "$FAILURES check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

# new_script_in_temp: a delme script in TEMP other than those named in TEMP_KEEP (scripts a
# test left there beforehand).
TEMP_KEEP=""
new_script_in_temp() {
    local script
    for script in "$TEMP_DIR"/delme*.bat; do
        [ -e "$script" ] || continue
        [[ " $TEMP_KEEP " == *" $(basename "$script") "* ]] || return 0
    done
    return 1
}

# temp_is_clean: no copy of the program and no new script in TEMP.
temp_is_clean() { [ ! -e "$TEMP_DIR/uninstall.exe" ] && ! new_script_in_temp; }

# watch_removal [SECONDS]: polls TEMP until the program's copy has shown there and TEMP is clean
# again, keeping every name seen in $WORK/seen. Sets the clock times (ms) COPY_MS (the copy
# shows: the first visible act after the answer), FIRST_END_MS (the first run has ended),
# SCRIPT_MS (a new script shows) and CLEAN_MS; each stays empty when it did not happen in time.
watch_removal() {
    COPY_MS="" FIRST_END_MS="" SCRIPT_MS="" CLEAN_MS=""
    local deadline=$(( $(now_ms) + ${1:-60} * 1000 )) t
    while [ -z "$CLEAN_MS" ] && [ "$(now_ms)" -lt "$deadline" ]; do
        t=$(now_ms)
        ls -A "$TEMP_DIR" >> "$WORK/seen"
        [ -z "$COPY_MS" ] && cmp -s "$TEMP_DIR/uninstall.exe" "$WIN64_BUILD/uninstall.exe" && COPY_MS=$t
        if [ -n "$COPY_MS" ]; then
            [ -z "$FIRST_END_MS" ] && [ -s "$WORK/status" ] && FIRST_END_MS=$t
            [ -z "$SCRIPT_MS" ] && new_script_in_temp && SCRIPT_MS=$t
            temp_is_clean && CLEAN_MS=$t
        fi
        sleep 0.002
    done
    [ -n "$CLEAN_MS" ]
}

# run_journey ok|cancel: starts the installed uninstaller as a user would, answers its question
# and waits for the first run to end; after OK also until every process of the prefix has
# ended. Sets FIRST_STATUS and OK_MS, and after OK the times of watch_removal,
# COPY_TO_CLEAN_MS (from the copy showing in TEMP to a clean TEMP) and OK_TO_CLEAN_MS.
run_journey() {
    : > "$WORK/seen"
    run_program "$INSTALL_WIN\\uninstall.exe"
    local box
    box=$(wait_box) || { fail "no question shown"; return 1; }
    QUESTION_TEXT=$(box_text)
    [ -n "${SCREENSHOT:-}" ] && import -window root "$SCREENSHOT"
    OK_MS=$(now_ms)
    if [ "${USE_OWN_DISPLAY:-0}" = 1 ]; then
        echo "Answer the question on your display."
        while [ ! -s "$WORK/status" ] && [ ! -e "$TEMP_DIR/uninstall.exe" ]; do sleep 0.005; done
        if [ -e "$TEMP_DIR/uninstall.exe" ]; then set -- ok; else set -- cancel; fi
    else
        answer_box "$box" "$1"
    fi
    if [ "$1" = ok ]; then
        COPY_TO_CLEAN_MS=never OK_TO_CLEAN_MS=never
        if watch_removal 60; then
            COPY_TO_CLEAN_MS=$(( CLEAN_MS - COPY_MS ))
            OK_TO_CLEAN_MS=$(( CLEAN_MS - OK_MS ))
        else
            fail "TEMP did not become clean (copy seen: ${COPY_MS:-no})"
        fi
    fi
    FIRST_STATUS=$(wait_program)
    if [ "$1" = ok ]; then wait_prefix; fi
}
now_ms() { date +%s%3N; }

# expect_product_files_removed: every file of the sample installation is gone.
expect_product_files_removed() {
    local name
    for name in "${INSTALLED_FILES[@]}" "${PICTURES[@]}" uninstall.exe; do
        expect_no_path "$INSTALL_DIR/$name"
    done
}

# expect_sample_removed: every file and folder of the sample installation is gone.
expect_sample_removed() {
    expect_product_files_removed
    expect_no_path "$INSTALL_DIR/vandrel"
    expect_no_path "$INSTALL_DIR"
}

# expect_product_keys_removed: keys, App Paths entry and both shortcuts of the sample are gone.
expect_product_keys_removed() {
    expect_no_key hkcu 'Software\QUENDRA Software\Dovrance'
    expect_no_key hkcu 'Software\QUENDRA Software\Dovrance\Settings\Recent\Deep'
    expect_no_key hklm 'Software\QUENDRA Software\Dovrance'
    expect_no_key hklm 'Software\Microsoft\Windows\CurrentVersion\App Paths\Dovrance.exe'
    expect_no_path "$STARTUP_DIR/$CAPTION.lnk"
    expect_no_path "$PROGRAMS_DIR/$CAPTION.lnk"
}

# install_second_product: another product of the same company, in both roots and on disk.
install_second_product() {
    mkdir -p "$COMPANY_DIR/Kelvar"
    echo kelvar > "$COMPANY_DIR/Kelvar/kelvar.exe"
    seed_registry <<'REG'
[HKEY_CURRENT_USER\Software\QUENDRA Software\Kelvar]
"Level"="3"

[HKEY_LOCAL_MACHINE\Software\QUENDRA Software\Kelvar]
"InstallPath"="C:\\Program Files\\QUENDRA Software\\Kelvar"
REG
}

# expect_product_gone: after a journey with OK while the stand-in ran, the first run ended with 1,
# the product was asked to close, and the installation, its folders, keys, shortcuts and
# uninstall entry are gone.
expect_product_gone() {
    expect_equal "$FIRST_STATUS" 1 "exit status of the first run"
    expect_path "$C_DRIVE/product/closed.txt"
    expect_sample_removed
    expect_no_path "$COMPANY_DIR"
    expect_product_keys_removed
    expect_no_key hklm 'Software\Microsoft\Windows\CurrentVersion\Uninstall\QuendraDovrance'
}

# expect_second_product_kept: its keys, the company keys that hold them and its folder stay.
expect_second_product_kept() {
    expect_key hkcu 'Software\QUENDRA Software\Kelvar'
    expect_key hklm 'Software\QUENDRA Software\Kelvar'
    expect_key hkcu 'Software\QUENDRA Software'
    expect_key hklm 'Software\QUENDRA Software'
    expect_path "$COMPANY_DIR/Kelvar/kelvar.exe"
}

expect_temp_clean() {
    if temp_is_clean; then pass "TEMP holds no copy and no script"; else fail "TEMP: $(temp_listing)"; fi
}

# product_registry: the product's keys and values from the saved registry (flush it first
# with "wineserver -k" and wait_prefix), without Wine's timestamps.
product_registry() {
    local file
    for file in system.reg user.reg; do
        awk -v file="$file" '
            /^\[/ { keep = tolower($0) ~ /quendra|app paths\\\\\\\\dovrance/; sub(/\] [0-9]+$/, "]") }
            keep && !/^#/ && NF { print file ": " $0 }' "$WINEPREFIX/$file"
    done
}

# product_files: every file and folder of the product, its shortcuts' folders and TEMP.
product_files() {
    (cd "$C_DRIVE" && find "Program Files/QUENDRA Software" "users/$WIN_USER/Temp" \
        "users/$WIN_USER/AppData/Roaming/Microsoft/Windows/Start Menu" -printf '%p %s\n' 2>/dev/null | sort)
}

# profile_journey NAME: the whole journey for a user whose TEMP, Startup and Programs folders lie
# in a profile named NAME: no message after OK, everything of the product removed, both
# shortcuts included, and TEMP (the profile's and the prefix's own) clean afterwards.
profile_journey() {
    local default_temp=$TEMP_DIR
    use_profile "$1"
    install_sample
    start_product
    sleep 1
    local temp_before
    temp_before=$(temp_listing)
    run_journey ok
    echo "from OK to a clean TEMP: $OK_TO_CLEAN_MS ms"
    expect_product_gone
    expect_equal "$(temp_listing)" "$temp_before" "TEMP in the profile afterwards"
    expect_no_path "$default_temp/uninstall.exe"
}
