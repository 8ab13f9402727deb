#!/usr/bin/env bash
# Every message marked in the sources has a translation, neither empty nor fuzzy, in every
# po/LANGUAGE.po, and each translation keeps its message's placeholders.
# Usage: complete_test.sh SOURCE_FOLDER
set -euo pipefail
source=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$source/po/extract" "$work/messages.pot"
status=0
for translation in "$source"/po/*.po; do
  if ! msgcmp "$translation" "$work/messages.pot" 2>"$work/missing.log"; then
    echo "$(basename "$translation") lacks translations:" >&2
    grep -E 'this message is (untranslated|used but not defined)' "$work/missing.log" >&2 ||
      cat "$work/missing.log" >&2
    status=1
  fi
  msgfmt --check -o /dev/null "$translation" || status=1
done
[[ $status -eq 0 ]] && echo "translation.complete: ok"
exit $status
