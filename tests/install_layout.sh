#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the layout of an installed
# program: commands in bin/, data under share/tidepost/, desktop files, manual
# pages; then runs the installed tidepost-batch as a normal user without
# TIDEPOST_HOME, which must make and seed its per-user data folder and keep the
# user's own settings on the next run. The second argument, "without-window",
# checks a build without the window program: its files must be absent.
set -euo pipefail
build="$1"
window="${2:-with-window}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
prefix="$scratch/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "$*" >&2; exit 1; }
window_files=(bin/tidepost share/applications/tidepost.desktop
              share/metainfo/org.tidepost.Tidepost.metainfo.xml
              share/icons/hicolor/scalable/apps/tidepost.svg share/man/man1/tidepost.1)
expected=(bin/tidepost-batch bin/tidepost-html2txt
          share/tidepost/cfg/weather.xmt share/tidepost/cfg/email.txt share/tidepost/cfg/citycode.ini
          share/tidepost/doc/help.htm share/man/man1/tidepost-batch.1
          share/doc/tidepost/examples/tidepost-batch.timer share/doc/tidepost/examples/crontab
          libexec/tidepost/tidepost-sample-provider libexec/tidepost/sample-pages/routes.txt)
if [ "$window" = with-window ]; then
  expected+=("${window_files[@]}")
else
  for file in "${window_files[@]}"; do
    [ ! -e "$prefix/$file" ] || fail "installed without the window program: $file"
  done
fi
for file in "${expected[@]}"; do
  [ -e "$prefix/$file" ] || fail "missing after install: $file"
done
[ ! -e "$prefix/bin/cfg" ] || fail "data installed beside the commands"

if [ "$window" = with-window ] && command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tidepost.desktop"
fi
if [ "$window" = with-window ] && command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.tidepost.Tidepost.metainfo.xml" >/dev/null
fi
if command -v man >/dev/null; then
  for page in $([ "$window" = with-window ] && echo tidepost) tidepost-batch; do
    warnings="$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "man $page: $warnings"
  done
fi

# As a normal user, with a home of its own and no TIDEPOST_HOME.
user_home="$scratch/home"
mkdir -p "$user_home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$user_home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run_batch() {
  env -u TIDEPOST_HOME -u XDG_DATA_HOME HOME="$user_home" "${as_user[@]}" "$prefix/bin/tidepost-batch" "$@"
}
version="$(run_batch --version)"
[ "$version" = "Tidepost Version 1.5" ] || fail "unexpected version: $version"
run_batch --help | grep -q "Data folder: $user_home/.local/share/tidepost/" || fail "--help does not name the folder"

data="$user_home/.local/share/tidepost"
status=0
run_batch >"$scratch/out" 2>"$scratch/err" || status=$?
[ -f "$data/cfg/weather.xmt" ] || fail "per-user folder not seeded: $(cat "$scratch/err")"
[ -d "$data/xml" ] || fail "no page folder in the per-user folder"

# The user's edits survive the next start; missing defaults come back.
printf '[Weather]\r\nDownload=0\r\n; mine\r\n' >"$data/cfg/Tidepost.ini"
printf 'my template' >"$data/cfg/weather.xmt"
rm "$data/cfg/news.xmt"
[ "$(id -u)" -ne 0 ] || chown -R nobody "$data"
run_batch >/dev/null 2>&1 || true
[ "$(cat "$data/cfg/weather.xmt")" = "my template" ] || fail "a user's file was overwritten"
grep -q '; mine' "$data/cfg/Tidepost.ini" || fail "the user's settings were lost"
[ -f "$data/cfg/news.xmt" ] || fail "a missing default was not copied again"

# A data folder that cannot be made is named, with the reason.
blocked="$scratch/blocked"
printf 'a file' >"$blocked"
status=0
env -u TIDEPOST_HOME XDG_DATA_HOME="$blocked" HOME="$user_home" "${as_user[@]}" \
  "$prefix/bin/tidepost-batch" >/dev/null 2>"$scratch/err" || status=$?
[ "$status" -eq 1 ] || fail "blocked data folder: exit $status"
grep -q "$blocked/tidepost" "$scratch/err" || fail "blocked data folder not named: $(cat "$scratch/err")"
echo "install layout ok"
