#!/usr/bin/env bash
# kill -9 at random moments of day changes and closes on a diary of three thousand days: after
# every kill each file holds its old content or its new one, never a mix, a cut or nothing; the
# next start takes over the dead copy's lock and clears what its saves left behind.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init

readonly NOW="2024-01-05 07:00:00"
readonly DAYS=3000
readonly RUNS=${CRASH_RUNS:-12}
RANDOM=20240105

home=$(new_folder crash)
mkdir -p "$home/data"
# Three thousand days up to some weeks after today, each with a body and a title.
mapfile -t keys < <(for ((i = 0; i < DAYS; i++)); do echo "2015-11-06 + $i days"; done |
    date -f - +%Y%m%d)
{
    printf '[data]\r\nMnikki=0\r\n[title]\r\n'
    for key in "${keys[@]}"; do
        printf '%s\r\n' "$key=t $key"
        printf 'day %s \x93\xfa\x8b\x4c\r\n' "$key" >"$home/data/$key"
    done
} >"$home/diary.ini"
readonly TOUCHED="20240105 20240106 20240107 20240108 20240109 20240110"

# One clean run settles diary.ini: from then on only the days typed into change (and a title,
# should a typed x land there).
app_start "$home" "$NOW"
app_close
cp "$home/diary.ini" "$E2E_WORK/ini.settled"
LC_ALL=C grep -q x "$E2E_WORK/ini.settled" "$home"/data/* && abort "the diary holds no x before the runs"
mkdir "$E2E_WORK/old"
for key in $TOUCHED; do cp "$home/data/$key" "$E2E_WORK/old/$key"; done
(cd "$home/data" && md5sum -- *) | grep -vE "^[0-9a-f]+  ($(tr ' ' '|' <<<"$TOUCHED"))\$" \
    >"$E2E_WORK/untouched.md5"

# A touched day holds its old bytes and the x's typed into it over the runs. Nothing else of the
# diary holds an x, so a file that reads as its old bytes once the x's are taken out was written
# whole: a cut, a mix of two saves or an empty file would not.
without_x() {
    LC_ALL=C tr -d x <"$1"
}

day_is_old_or_new() {
    cmp -s <(without_x "$home/data/$1") "$E2E_WORK/old/$1"
}

untouched_days_unchanged() {
    (cd "$home/data" && md5sum --quiet -c "$E2E_WORK/untouched.md5" >/dev/null 2>&1)
}

no_leftovers() {
    ! find "$home" -name '*.tobiquill-save.*' | grep -q .
}

broken=0
for ((run = 1; run <= RUNS; run++)); do
    app_start "$home" "$NOW"
    wait_for no_leftovers || fail "run $run: start-up clears the leftovers of the killed saves"
    steps=$((RANDOM % 6))
    for ((s = 0; s < steps; s++)); do
        type_body x
        app_ctrl period
    done
    if ((RANDOM % 4 == 0)); then
        # Killed while the close writes the day and the settings.
        app_click "$CLOSE_X" "$CLOSE_Y"
    fi
    kill -KILL "$APP_PID" 2>/dev/null
    wait_for test -e "$E2E_WORK/app.rc" || abort "run $run: the killed program ends"
    APP_PID=
    for key in $TOUCHED; do
        day_is_old_or_new "$key" || { fail "run $run: day $key holds its old or new content" \
            "$(od -c "$home/data/$key" | head -n 5)"; broken=1; }
    done
    untouched_days_unchanged || { fail "run $run: the days not typed into are unchanged"; broken=1; }
    cmp -s <(without_x "$home/diary.ini") "$E2E_WORK/ini.settled" ||
        { fail "run $run: diary.ini holds its content"; broken=1; }
    ((broken)) && break
done
check_eq "every kill left every file whole" 0 "$broken"
typed=$(cat "$home"/data/2024010[5-9] "$home/data/20240110" | LC_ALL=C tr -cd x | wc -c)
check "some of what was typed reached the disk before the kills ($typed)" test "$typed" -gt 0

app_start "$home" "$NOW"
check "the last start cleared every leftover" wait_for no_leftovers
app_close
check_absent "the lock goes with the last copy" "$home/diary.lock"

finish
