#!/usr/bin/env bash
# Import as a new user finds it: the menu's 「読み込み...」, the export typed into the file
# dialog, what the import will do confirmed, and the closing summary answered. The day shown
# keeps its text first and shows the imported text below it; closing the window loses neither,
# and the backup the import made holds the diary as it was.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

home=$(new_folder home)
mkdir -p "$home/data"
cp932 "古い日" >"$home/data/20240105"
cat >"$E2E_WORK/journal.json" <<'JSON'
{"tags": {}, "entries": [
 {"title": "朝", "body": "起きた", "date": "2024-01-05", "time": "09:30", "tags": [], "starred": false},
 {"title": "晴れ", "body": "散歩した😀", "date": "2024-01-06", "time": "08:00", "tags": ["@外"], "starred": true}
]}
JSON

app_start "$home" "2024-01-05 12:00:00"

menu_choose 9
window_answer "読み込み" alt+f
window_answer "読み込む書き出し" ctrl+a
xdotool type --delay 20 "$E2E_WORK/journal.json"
xdotool key Return
window_answer "Tobiquill" alt+r
window_answer "読み込み" Return
wait_for test -s "$home/data/20240106" || abort "the new day is written"
{ cp932 "散歩した"; printf '&#x1F600;\r\n'; cp932 $'#外\r\n★'; } >"$E2E_WORK/expected-new"
check_bytes "the new day holds its entry, emoji, tags and star" "$home/data/20240106" \
    "$E2E_WORK/expected-new"
backup=$(compgen -G "$home/import-backup-*.zip")
check_eq "the backup holds the day as it was" "古い日" \
    "$(unzip -p "$backup" data/20240105 | iconv -f CP932 -t UTF-8)"

app_close
check "the shown day keeps its text first" grep -q "^$(cp932 "古い日")" "$home/data/20240105"
check "and the imported text below it, kept at the close" grep -q "$(cp932 "起きた")" \
    "$home/data/20240105"
check "the new day's title is its entry's" grep -q "20240106=$(cp932 "晴れ")" "$home/diary.ini"
finish
