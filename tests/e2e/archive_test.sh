#!/usr/bin/env bash
# Export, backup and restore through the real program's command line, with no screen at all:
# a diary exported to HTML that a strict parser reads, a backup restored byte for byte, and
# hostile archives refused with nothing written anywhere.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

# The tasks never ask for a window system.
task() {
    env -u DISPLAY -u QT_QPA_PLATFORM "$E2E_BIN" "$@" 2>>"$E2E_WORK/app.log"
}

home=$(new_folder home)
mkdir -p "$home/data"
printf '\r\n[title]\r\n20240105=\x83\x6a\x83\x62\x83\x4c\r\n[data]\r\nfontsize=9\r\n' >"$home/diary.ini"
printf '\x82\xc9\x82\xc1\x82\xab\r\n<&>' >"$home/data/20240105"
printf 'old' >"$home/data/20231231"
printf 'not a day' >"$home/data/notes"

# Export, as a user finds it: TOBIQUILL_HOME names the diary, the extension the format.
TOBIQUILL_HOME=$home task --export "$E2E_WORK/2024.html" --from 20240101 --to 20241231
check_eq "export ends with code 0" 0 "$?"
check "the page is well-formed for a strict parser" xmllint --noout --nonet "$E2E_WORK/2024.html"
check_eq "the range holds one day, its title and its body as written" \
    $'2024年1月5日 金 ニッキ\nにっき\n<&>' \
    "$(xmllint --xpath 'string(//section/h2)' "$E2E_WORK/2024.html"
       xmllint --xpath 'string(//section/div)' "$E2E_WORK/2024.html")"

# Backup, then restore into a new folder: every byte equal, notes included.
TOBIQUILL_HOME=$home task --backup "$E2E_WORK/diary.zip"
check_eq "backup ends with code 0" 0 "$?"
task --restore "$E2E_WORK/diary.zip" --diary "$E2E_WORK/restored"
check_eq "restore ends with code 0" 0 "$?"
check "the restored diary is the diary, byte for byte" diff -r "$home" "$E2E_WORK/restored"

# Hostile archives: refused before anything is written, inside or outside the target.
make_zip() {
    python3 - "$1" "$2" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("diary.ini", b"[title]\r\n")
    z.writestr(zipfile.ZipInfo(sys.argv[2]), b"evil")
PY
}
n=0
for name in "../evil" "data/../../evil" "/tmp/tobiquill-evil-$$" "data/sub/evil" "evil.txt" \
    "data/..\\..\\evil"; do
    n=$((n + 1))
    zip="$E2E_WORK/hostile$n.zip"
    make_zip "$zip" "$name"
    target="$E2E_WORK/victim$n/diary"
    mkdir -p "$E2E_WORK/victim$n"
    task --restore "$zip" --diary "$target"
    check_eq "an entry named $name is refused" 1 "$?"
    check_absent "nothing of the archive named $name is written" "$target"
    check_absent "nothing escapes the target for $name" "$E2E_WORK/victim$n/evil"
done
check_absent "no absolute path was written" "/tmp/tobiquill-evil-$$"
check_absent "nothing was written beside the targets" "$E2E_WORK/evil"
check "every refusal says why" grep -q 'アーカイブの項目' "$E2E_WORK/app.log"

finish
