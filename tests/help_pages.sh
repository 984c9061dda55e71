#!/usr/bin/env bash
# Checks the help pages: the five pages exist, each is valid HTML for a strict
# parser, and every link between them (file and anchor) resolves.
set -euo pipefail
doc="$1"
status=0
for page in intro.htm faq.htm help.htm dev.htm tools.htm; do
  [ -f "$doc/$page" ] || { echo "missing help page: $page" >&2; status=1; }
done
for file in "$doc"/*.htm; do
  page="$(basename "$file")"
  # xmllint reports HTML errors but exits 0, so any output is a failure.
  report="$(xmllint --html --noout "$file" 2>&1)" || true
  [ -z "$report" ] || { echo "$report" >&2; status=1; }
  while IFS= read -r link; do
    case "$link" in
      *:*) continue ;;  # http:, mailto: and the like leave the help folder
    esac
    target="${link%%#*}"
    anchor=""
    [[ "$link" == *"#"* ]] && anchor="${link#*#}"
    [ -n "$target" ] || target="$page"
    if [ ! -f "$doc/$target" ]; then
      echo "$page: link to missing page '$link'" >&2
      status=1
    elif [ -n "$anchor" ] && ! grep -q "id=\"$anchor\"" "$doc/$target"; then
      echo "$page: link to missing anchor '$link'" >&2
      status=1
    fi
  done < <(grep -o 'href="[^"]*"' "$file" | sed 's/^href="//; s/"$//')
done
[ "$status" -eq 0 ] && echo "help pages ok"
exit "$status"
