#!/usr/bin/env bash
# `cmake --install` as a user's desktop sees it: the program, its desktop entry, its icon at the
# icon theme's sizes and its AppStream file in their places and valid; the program started from
# its menu entry keeps its diary in the user's data folder, never beside itself; --diary,
# --help and --version.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init
for tool in cmake desktop-file-validate appstreamcli identify; do
    command -v "$tool" >/dev/null || abort "tool $tool is available" "see PACKAGES in the Makefile"
done
[ -d "${E2E_BUILD:-}" ] || abort "E2E_BUILD names the build folder"

# quietly COMMAND...: runs COMMAND, shows its output only when it fails.
quietly() {
    "$@" >"$E2E_WORK/quiet.log" 2>&1 || { cat "$E2E_WORK/quiet.log"; return 1; }
}

readonly ID=org.tobiquill.Tobiquill
readonly NOW="2024-06-01 20:00:00"
prefix=$E2E_WORK/prefix

cmake --install "$E2E_BUILD" --prefix "$prefix" >"$E2E_WORK/install.log" 2>&1 ||
    abort "cmake --install succeeds" "$(tail -n 5 "$E2E_WORK/install.log")"

desktop=$prefix/share/applications/$ID.desktop
metainfo=$prefix/share/metainfo/$ID.metainfo.xml
check "the program is installed in bin" test -x "$prefix/bin/tobiquill"
check "desktop-file-validate passes" quietly desktop-file-validate "$desktop"
check "appstreamcli validate passes" quietly appstreamcli validate --no-net "$metainfo"
check_eq "the desktop entry has an English and a Japanese name" "Tobiquill|Tobiquill 日記" \
    "$(sed -n -e 's/^Name=//p' -e 's/^Name\[ja\]=//p' "$desktop" | paste -sd'|')"
check "the desktop entry is in an office category" grep -q '^Categories=Office;' "$desktop"
check_eq "the AppStream file names the desktop entry" "$ID.desktop" \
    "$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")"
for size in 16 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$ID.png
    check_eq "the icon is installed at ${size}x${size}" "${size}x${size}" \
        "$(identify -format '%wx%h' "$icon" 2>/dev/null)"
done

# The menu entry's command, found on the PATH as the desktop would find it.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
E2E_BIN=$(PATH="$prefix/bin:$PATH" command -v "$exec_line")
check_eq "the menu entry starts the installed program" "$prefix/bin/tobiquill" "$E2E_BIN"

check_eq "--version prints the name and version without a display" "tobiquill 0.1" \
    "$(env -u DISPLAY "$E2E_BIN" --version)"
check "--help names --diary without a display" \
    bash -c "env -u DISPLAY '$E2E_BIN' --help | grep -q -- '--diary <folder>'"
check_not "an unknown option is refused" quietly env -u DISPLAY "$E2E_BIN" --no-such-option
check "a second argument is refused" bash -c "! env -u DISPLAY '$E2E_BIN' --diary a b 2>/dev/null"

# A diary beside the installed program is never taken, nor written.
mkdir "$prefix/bin/data"
printf '[data]\r\n' >"$prefix/bin/diary.ini"
cp "$prefix/bin/diary.ini" "$E2E_WORK/beside.ini"
user_data=$XDG_DATA_HOME/tobiquill
app_start "" "$NOW"
type_title "installed"
app_close
check_eq "the installed program keeps its diary in the user's data folder" "installed" \
    "$(ini_value "$user_data/diary.ini" title 20240601)"
check_eq "the user's diary folder is the user's alone" 700 "$(stat -c %a "$user_data")"
check_bytes "the diary beside the program is left alone" "$prefix/bin/diary.ini" "$E2E_WORK/beside.ini"
check_absent "no entry is written beside the program" "$prefix/bin/data/20240601"

# --diary names the folder, and wins over TOBIQUILL_HOME.
other=$(new_folder other)
APP_ARGS=(--diary "$other")
app_start "$(new_folder ignored)" "$NOW"
type_title "elsewhere"
app_close
check_eq "--diary names the diary's folder" "elsewhere" "$(ini_value "$other/diary.ini" title 20240601)"
check_absent "--diary wins over TOBIQUILL_HOME" "$E2E_WORK/ignored/diary.ini"

# The tasks run in tobiquill-archive, which the installed program finds in its helper folder.
check "the installed program backs the diary up" \
    quietly env -u DISPLAY "$E2E_BIN" --diary "$other" --backup "$E2E_WORK/installed.zip"
check "the backup is written" test -s "$E2E_WORK/installed.zip"

finish
