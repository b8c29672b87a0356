#!/usr/bin/env bash
# Characters code page 932 cannot hold (emoji, a joined emoji, ♡, 𠮷), typed into the title and
# the body, come back as typed after a change of day and a new start; the day file stays code
# page 932, with each such character written as its reference.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 21:30:00"
readonly KEY=20240105
readonly TITLE="晴れ😀♡"
readonly BODY="𠮷野家で👨‍👩‍👧と😀
♡ &#x1F600; は文字のまま"

home=$(new_folder home)
entry=$home/data/$KEY

app_start "$home" "$NOW"
type_title "$TITLE"
type_body "𠮷野家で👨‍👩‍👧と😀"
app_keys Return
app_type "♡ &#x1F600; は文字のまま"
check_eq "the title shows what was typed" "$TITLE" "$(shown_title)"
check_eq "the body shows what was typed" "$BODY" "$(shown_body)"

app_click "$YL_X" "$YL_Y"
expected=$(expect_file body $'&#x20BB7;野家で&#x1F468;&#x200D;&#x1F469;&#x200D;&#x1F467;と&#x1F600;\r\n&#x2661; &#x0026;#x1F600; は文字のまま')
if wait_for file_matches "$entry" "$expected"; then
    pass "the day left is saved, each character the code page cannot hold as its reference"
else
    fail "the day left is saved, each character the code page cannot hold as its reference" \
        "$(od -c "$entry" 2>&1 | head -n 5)"
fi
check "the day file reads as code page 932" iconv -f CP932 -t UTF-8 -o /dev/null "$entry"
check_eq "the title is stored with references" "晴れ&#x1F600;&#x2661;" \
    "$(ini_value "$home/diary.ini" title "$KEY")"
app_click "$YR_X" "$YR_Y"
check_eq "back on the day, the body is as typed" "$BODY" "$(shown_body)"
app_close

app_start "$home" "$NOW"
check_eq "the next start shows the title as typed" "$TITLE" "$(shown_title)"
check_eq "the next start shows the body as typed" "$BODY" "$(shown_body)"
app_close
check_bytes "an unchanged day is left byte for byte" "$entry" "$expected"

finish
