#!/usr/bin/env bash
# tarnwick FOLDER, as a file manager's "open with" runs it: the window opens with
# FOLDER as the folder chooser's starting folder, which the window remembers (and saves
# on close) as the folder chosen last. And the language the locale variables choose.
set -uo pipefail
tarnwick=$1
work=$(mktemp -d /tmp/tarnwick-start-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/archive 档案"
cd "$work"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache

# Runs tarnwick with the arguments, ends it with SIGTERM (as logging out does) once it
# handles the signal (it then saves its options); its standard error goes to $work/err.
run_and_close() {
  "$tarnwick" "$@" 2>"$work/err" &
  local pid=$! caught=0
  for _ in $(seq 600); do
    local mask
    mask=$(awk '/^SigCgt/ {print $2}' "/proc/$pid/status" 2>/dev/null) || break
    if (((0x${mask:-0} >> 14) & 1)); then caught=1; break; fi
    sleep 0.1
  done
  [ "$caught" = 1 ] || { echo "FAIL: tarnwick never got ready" >&2; cat "$work/err" >&2; exit 1; }
  kill -TERM "$pid"
  wait "$pid"
}

run_and_close --settings "$work/job.ini" "archive 档案/"
grep -q $'^筛选目录='"$work/archive 档案"$'\r$' "$work/job.ini" ||
  { echo "FAIL: the folder is not the one remembered:" >&2; cat "$work/job.ini" >&2; exit 1; }

# A FOLDER that is not a folder is named and left aside; the remembered one stays.
run_and_close --settings "$work/job.ini" missing
grep -q 'not a folder: missing' "$work/err" || { echo "FAIL: no message" >&2; exit 1; }
grep -q $'^筛选目录='"$work/archive 档案"$'\r$' "$work/job.ini" ||
  { echo "FAIL: the remembered folder changed" >&2; exit 1; }

"$tarnwick" one two 2>"$work/err"
[ $? = 2 ] || { echo "FAIL: two folders are not bad usage" >&2; exit 1; }

# The window speaks English when LANGUAGE's first entry, or else LANG, names English;
# the settings file keeps its Chinese keys either way. The pattern box's starting hint,
# saved on close, tells which language the window was in.
expect_hint() { # settings file, hint
  grep -q $'^筛选内容='"$2"$'\r$' "$1" && grep -q $'^仅该目录=真\r$' "$1" ||
    { echo "FAIL: $1 is not the file of a window with the hint $2:" >&2; cat "$1" >&2; exit 1; }
}
(export LANGUAGE='' LANG=en_US.UTF-8 && run_and_close --settings "$work/en.ini") || exit 1
expect_hint "$work/en.ini" 'Separate texts with |'
(export LANGUAGE=zh_CN:en LANG=en_US.UTF-8 && run_and_close --settings "$work/zh.ini") || exit 1
expect_hint "$work/zh.ini" '多组内容以|隔开'
(export LANGUAGE=en_GB LANG=zh_CN.UTF-8 && run_and_close --settings "$work/gb.ini") || exit 1
expect_hint "$work/gb.ini" 'Separate texts with |'
echo "start on folder: every check passed"
