#!/usr/bin/env bash
# The quiz starts with the quiz's libraries only: none of those that read sheets and XML,
# resample pictures, open zip archives, decode HEIC and WebP photos or read flashcard decks is
# loaded when the program starts.
# Usage: start_libraries_test.sh ANTHORA
set -euo pipefail
loaded=$(LD_DEBUG=files "$1" --version 2>&1 >/dev/null |
  sed -n 's/.*file=\([^ ]*\) .*generating link map.*/\1/p')
[[ -n $loaded ]] || { echo "start_libraries: no library list from the dynamic loader" >&2; exit 1; }
unwanted=$(grep -E '^lib(pugixml|stb|zip|heif|webp|sqlite3)\.' <<<"$loaded" || true)
if [[ -n $unwanted ]]; then
  echo "start_libraries: loaded at start: $(tr '\n' ' ' <<<"$unwanted")" >&2
  exit 1
fi
echo "start_libraries: ok ($(wc -l <<<"$loaded") libraries)"
