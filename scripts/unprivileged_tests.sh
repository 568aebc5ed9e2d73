#!/usr/bin/env bash
# Runs again, as an unprivileged user, the tests a root run of ctest skipped: the cases of
# folders and files that cannot be read or written mean nothing to root, who may read and
# write anything. Each such test's program is copied to a folder that user can reach and
# run there with ctest's own arguments.
#
#   scripts/unprivileged_tests.sh BUILD_DIR [USER]   (as root; USER defaults to nobody)
set -euo pipefail

build=$1
user=${2:-nobody}
[ "$(id -u)" -eq 0 ] || { echo "unprivileged_tests: nothing to do unless run as root"; exit 0; }
command -v setpriv >/dev/null || { echo "unprivileged_tests: setpriv is missing" >&2; exit 2; }

cd "$build"
# The tests the last run skipped (ctest notes them in LastTestsDisabled.log), each with
# its command line from ctest's own list.
skipped=$(ctest -N --show-only=json-v1 | python3 -c '
import json, sys
with open("Testing/Temporary/LastTestsDisabled.log", encoding="utf-8") as log:
    skipped = {line.rstrip("\n").split(":", 1)[1] for line in log if ":" in line}
for test in json.load(sys.stdin)["tests"]:
    if test["name"] in skipped:
        print("\t".join([test["name"]] + test["command"]))
')
[ -n "$skipped" ] || { echo "unprivileged_tests: no test was skipped"; exit 0; }

place=$(mktemp -d)
trap 'rm -rf "$place"' EXIT
chmod 755 "$place"
failed=0
while IFS=$'\t' read -r name program args; do
  copy=$place/$(basename "$program")
  [ -x "$copy" ] || install -m 755 "$program" "$copy"
  # shellcheck disable=SC2086  # ctest's arguments hold no spaces
  if (cd "$place" && env HOME="$place" TMPDIR=/tmp \
        setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups "$copy" $args \
        >"$place/out.txt" 2>&1); then
    if grep -q '\[  SKIPPED \]' "$place/out.txt"; then
      echo "skipped as $user too: $name"
    else
      echo "passed as $user: $name"
    fi
  else
    echo "FAILED as $user: $name"
    cat "$place/out.txt"
    failed=1
  fi
done <<<"$skipped"
exit $failed
