#!/usr/bin/env bash
# Brings a copy of app/language/tarnwick_en.ts up to date with the sources, as the
# target tarnwick_app_lupdate does, and fails when a text has no English: a text new in
# the sources, one left unfinished, a plural form left empty, an entry whose text the
# sources no longer hold (the .ts was not brought up to date), or a Chinese text that
# does not go through the translation system at all.
#
#   translations_complete_test.sh LUPDATE SOURCE_DIR
set -uo pipefail

lupdate=$1
source_dir=$2
work=$(mktemp -d /tmp/tarnwick-translations-XXXXXX)
trap 'rm -rf "$work"' EXIT

cp "$source_dir/app/language/tarnwick_en.ts" "$work/tarnwick_en.ts"
if ! "$lupdate" -I "$source_dir" -locations none -no-ui-lines -source-language zh_CN \
  "$source_dir/app" -ts "$work/tarnwick_en.ts" >"$work/lupdate.log" 2>&1; then
  cat "$work/lupdate.log" >&2
  exit 1
fi

if grep -q -E 'type="(unfinished|vanished|obsolete)"|<numerusform></numerusform>' \
  "$work/tarnwick_en.ts"; then
  echo "app/language/tarnwick_en.ts lacks the English of these texts (build the target" >&2
  echo "tarnwick_app_lupdate, then translate them):" >&2
  grep -B 3 -E 'type="(unfinished|vanished|obsolete)"|<numerusform></numerusform>' \
    "$work/tarnwick_en.ts" | grep '<source>' >&2
  exit 1
fi
# A Chinese text put straight into the window, outside the translation system, has no
# English either (object names are not texts the user reads).
export LC_ALL=C.UTF-8
if grep -r -n -P --include='*.cpp' --include='*.h' 'QStringLiteral\("[^"]*[\x{4e00}-\x{9fff}]' \
  "$source_dir/app" | grep -v 'setObjectName' >"$work/literals"; then
  echo "Chinese texts outside the translation system (use tr() or QCoreApplication::translate):" >&2
  cat "$work/literals" >&2
  exit 1
fi
echo "every text has its English ($(grep -c '<source>' "$work/tarnwick_en.ts") texts)"
