#!/usr/bin/env bash
# A build without the window program: no compile command names a Qt include
# folder or definition, and none of the programs given needs a Qt library.
set -euo pipefail
build="$1"
shift
fail() { echo "$*" >&2; exit 1; }
[ -s "$build/compile_commands.json" ] || fail "no compile commands in $build"
if qt="$(grep -Eio '[^ "]*(qt6|-DQT_)[^ "]*' "$build/compile_commands.json")"; then
  fail "a compile command names Qt: $(sort -u <<<"$qt" | head -3)"
fi
for program in "$@"; do
  needed="$(readelf -d "$program" | grep NEEDED)"
  ! grep -qi 'libQt' <<<"$needed" || fail "$program needs Qt: $needed"
done
echo "no Qt in the compile commands nor in $# programs"
