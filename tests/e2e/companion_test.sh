#!/usr/bin/env bash
# The companion's comment at start-up: added once under the entries of the day before yesterday
# and of yesterday, from 06:00 on, and never while the companion is switched off.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

# lay_out_entries FOLDER: three past days of two lines each, as the program would have left them.
lay_out_entries() {
    mkdir -p "$1/data"
    cp932 $'三日前の日記\r\n早く寝た' >"$1/data/20240102"
    cp932 $'一月三日の日記\r\n散歩した' >"$1/data/20240103"
    cp932 $'一月四日\r\n本を読んだ' >"$1/data/20240104"
}

# snapshot FOLDER NAME: keeps a copy of the folder's files to compare with later.
snapshot() {
    rm -rf "$E2E_WORK/snap-$2"
    cp -a "$1" "$E2E_WORK/snap-$2"
}

# check_unchanged WHAT FOLDER NAME: every entry file is byte for byte as in the snapshot.
check_unchanged() {
    local day
    for day in 20240102 20240103 20240104; do
        check_bytes "$1: $day is unchanged" "$2/data/$day" "$E2E_WORK/snap-$3/data/$day"
    done
    check_absent "$1: today is not written" "$2/data/20240105"
}

ends_without_line_break() {
    [ "$(tail -c 1 "$1" | od -An -tx1 | tr -d ' ')" != 0a ]
}

# check_comment FILE ORIGINAL: FILE is ORIGINAL, a CR LF, and the eight lines of the comment.
check_comment() {
    local file=$1 original=$2 day=${1##*/} size block
    size=$(stat -c %s "$original")
    if ! head -c "$size" "$file" | cmp -s - "$original"; then
        fail "$day: the entry is kept in front of the comment" "$(od -An -c "$file" | head -6)"
        return
    fi
    pass "$day: the entry is kept in front of the comment"
    check_eq "$day: a line break follows the entry" "$(printf '\r\n')" \
        "$(tail -c +$((size + 1)) "$file" | head -c 2)"
    check "$day: the comment does not end with a line break" ends_without_line_break "$file"

    tail -c +$((size + 3)) "$file" >"$E2E_WORK/block"
    check "$day: the comment is code page 932" iconv -f CP932 -t UTF-8 -o /dev/null "$E2E_WORK/block"
    check_eq "$day: every line of the comment ends with CR LF" \
        "$(LC_ALL=C tr -cd '\n' <"$E2E_WORK/block" | wc -c)" \
        "$(LC_ALL=C grep -c $'\r$' "$E2E_WORK/block")"
    block=$(iconv -f CP932 -t UTF-8 "$E2E_WORK/block" | tr -d '\r')
    check_eq "$day: the comment has eight lines" 8 "$(printf '%s\n' "$block" | wc -l)"
    check_eq "$day: a spacer opens the comment" " " "$(sed -n 1p <<<"$block")"
    check_eq "$day: a spacer, the marker and the signature close it" " |--------|モルナ" \
        "$(sed -n '6,8p' <<<"$block" | paste -sd'|')"
    local line n
    for n in 2 3 4 5; do
        line=$(sed -n "${n}p" <<<"$block")
        if [ -n "${line// /}" ] && [ "$line" != "--------" ]; then
            pass "$day: line $n is a phrase ($line)"
        else
            fail "$day: line $n is a phrase" "it reads $(printf '%q' "$line")"
        fi
    done
}

# Past entries at 07:00: both days get a comment, the older day first.
home=$(new_folder home)
lay_out_entries "$home"
snapshot "$home" before
app_start "$home" "2024-01-05 07:00:00"
app_close
check_bytes "a day three days back is left alone" "$home/data/20240102" "$E2E_WORK/snap-before/data/20240102"
check_comment "$home/data/20240103" "$E2E_WORK/snap-before/data/20240103"
check_comment "$home/data/20240104" "$E2E_WORK/snap-before/data/20240104"
check_absent "today is not written" "$home/data/20240105"
check_eq "both days get an empty title, the day before yesterday first" "20240103= 20240104=" \
    "$(ini_section "$home/diary.ini" title | paste -sd' ')"

# Starting again the same day finds the markers and adds nothing.
snapshot "$home" commented
app_start "$home" "2024-01-05 08:00:00"
app_close
check_unchanged "a second start the same day" "$home" commented
check_bytes "a second start the same day leaves diary.ini" "$home/diary.ini" "$E2E_WORK/snap-commented/diary.ini"

# Before 06:00 the companion keeps quiet.
early=$(new_folder early)
lay_out_entries "$early"
snapshot "$early" early
app_start "$early" "2024-01-05 05:59:00"
app_close
check_unchanged "a start at 05:59" "$early" early
check_eq "a start at 05:59 writes no title" "" "$(ini_section "$early/diary.ini" title)"

# With the companion switched off nothing is loaded or saved for the past days.
off=$(new_folder off)
lay_out_entries "$off"
printf '[data]\r\nMnikki=0\r\n' >"$off/diary.ini"
snapshot "$off" off
app_start "$off" "2024-01-05 07:00:00"
app_close
check_unchanged "a start with the companion off" "$off" off
check_eq "a start with the companion off writes no title" "" "$(ini_section "$off/diary.ini" title)"
check_eq "the companion stays off" 0 "$(ini_value "$off/diary.ini" data Mnikki)"

finish
