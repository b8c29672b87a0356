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

# Backup, then restore into a new folder: every byte of the diary equal; the note is no day, and
# the backup names it. Both make their data durable before the rename that puts it in place (a
# power cut must not leave an empty archive where the last one was).
# durable_before TRACE TARGET: a data sync comes after the last other rename and before the
# rename onto TARGET.
durable_before() {
    awk -v target="\"$2\"" '
        /rename/ && index($0, target) { found = 1; exit }
        /rename/ { synced = 0 }
        /(fdatasync|syncfs)\(.*= 0/ { synced = 1 }
        END { exit !(found && synced) }' "$1"
}
TOBIQUILL_HOME=$home strace -f -qq -s 4096 -o "$E2E_WORK/backup.trace" \
    -e trace=fdatasync,fsync,syncfs,rename,renameat2 "$E2E_BIN" --backup "$E2E_WORK/diary.zip" \
    2>>"$E2E_WORK/app.log"
check_eq "backup ends with code 0" 0 "$?"
check "the backup names the note it leaves out" grep -q 'data/notes (日記の日のファイルではありません)' \
    "$E2E_WORK/app.log"
check "the backup is on the disk before it takes its name" \
    durable_before "$E2E_WORK/backup.trace" "$E2E_WORK/diary.zip"
strace -f -qq -s 4096 -o "$E2E_WORK/restore.trace" -e trace=fdatasync,fsync,syncfs,rename,renameat2 \
    "$E2E_BIN" --restore "$E2E_WORK/diary.zip" --diary "$E2E_WORK/restored" 2>>"$E2E_WORK/app.log"
check_eq "restore ends with code 0" 0 "$?"
check "the restore is on the disk before it takes its name" \
    durable_before "$E2E_WORK/restore.trace" "$E2E_WORK/restored"
check "the restored diary is the diary, byte for byte" \
    diff -r -x notes "$home" "$E2E_WORK/restored"

# Streams are written as they are, never replaced by a file: standard output, a pipe, a FIFO.
check_eq "--export - writes the text to standard output" "【2024年1月5日 金】ニッキ" \
    "$(TOBIQUILL_HOME=$home task --export - --from 20240101 | head -n 1)"
check_eq "--export /dev/stdout into a pipe" "【2024年1月5日 金】ニッキ" \
    "$(TOBIQUILL_HOME=$home task --export /dev/stdout --from 20240101 | head -n 1)"
check "/dev/stdout is still a link" test -L /dev/stdout
mkfifo "$E2E_WORK/fifo"
cat "$E2E_WORK/fifo" >"$E2E_WORK/from-fifo" &
reader=$!
TOBIQUILL_HOME=$home task --export "$E2E_WORK/fifo" --format text
wait "$reader"
check "the FIFO stays a FIFO" test -p "$E2E_WORK/fifo"
check "the FIFO's reader got the text" grep -q 'にっき' "$E2E_WORK/from-fifo"

# Progress: a line rewritten in place on a terminal, nothing on a file, machine lines on request.
script -qec "TOBIQUILL_HOME='$home' '$E2E_BIN' --backup '$E2E_WORK/tty.zip'" /dev/null \
    >"$E2E_WORK/tty.out" </dev/null
check "a terminal sees the progress line" grep -q $'\rバックアップ中 100%' "$E2E_WORK/tty.out"
check_not "a log file gets no progress" grep -q $'\r' "$E2E_WORK/app.log"
check "--progress prints progress lines on standard output" grep -qx 'progress [0-9]* [0-9]*' \
    <(TOBIQUILL_HOME=$home task --backup "$E2E_WORK/progress.zip" --progress)

# A quit signal in the middle of a long backup leaves nothing behind.
big=$(new_folder big)
mkdir -p "$big/data"
for d in 01 02 03; do head -c 150M /dev/urandom >"$big/data/202401$d"; done
env -u DISPLAY "$E2E_BIN" --diary "$big" --backup "$E2E_WORK/big.zip" 2>>"$E2E_WORK/app.log" &
backup_pid=$!
staged() { compgen -G "$E2E_WORK/big.zip*" >/dev/null; }
check "the backup writes beside its target" wait_for staged
kill -TERM "$backup_pid"
wait "$backup_pid"
check_eq "a stopped backup ends with code 1" 1 "$?"
check_not "and leaves nothing beside its target" staged
rm -rf "$big"

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

# Import through the program's own command line: the export named after the options, even one
# whose name begins with "-", reaches the task; the days land and a backup is named.
imported=$(new_folder imported)
mkdir -p "$E2E_WORK/exports"
printf '{"entries":[{"creationDate":"2024-01-05T23:30:00Z","timeZone":"Asia/Tokyo","text":"# 京都\\n\\nお寺\\\\."}]}' \
    >"$E2E_WORK/exports/-journal.json"
(cd "$E2E_WORK/exports" && task --diary "$imported" --import dayone --dry-run -- -journal.json) \
    >"$E2E_WORK/dry.txt"
check_eq "a dry run ends with code 0" 0 "$?"
check_absent "and makes no diary" "$imported/data"
(cd "$E2E_WORK/exports" && task --diary "$imported" --import auto -- -journal.json) \
    >"$E2E_WORK/import.txt"
check_eq "an import ends with code 0" 0 "$?"
printf '\x82\xa8\x8e\x9b.' >"$E2E_WORK/expected-day"
check_bytes "the entry is on its day in Tokyo, the heading its title" "$imported/data/20240106" \
    "$E2E_WORK/expected-day"
check "the summary says one new day" grep -q '新しい日: 1 日' "$E2E_WORK/import.txt"
task --diary "$imported" --import dayone
check_eq "an import without its export is refused" 1 "$?"

finish
