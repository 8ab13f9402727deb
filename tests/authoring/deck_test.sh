#!/usr/bin/env bash
# Flashcard decks: the sample exported in both languages and read back by outside tools (a zip
# reader and SQLite from the npm registry) that find every note, its picture and its answers;
# the deck refused over an existing file without --force and under a name other than .apkg.
# The outside tools are installed into NPM_FOLDER from the lock file kept beside this script;
# without the registry the test is skipped.
# Usage: deck_test.sh ANTHORA SAMPLE_FOLDER NPM_FOLDER
set -euo pipefail
anthora=$(realpath "$1") sample=$(realpath "$2") npm_folder=$3
here=$(dirname "$(realpath "$0")")/deck
unset DISPLAY WAYLAND_DISPLAY
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
expect_status() {  # STATUS COMMAND...: runs it with output in out and err
  local want=$1 got=0
  shift
  "$@" >out 2>err || got=$?
  [[ $got == "$want" ]] || fail "$* exited with $got, expected $want: $(cat out err)"
}

command -v node >/dev/null && command -v npm >/dev/null || skip "no Node.js"
mkdir -p "$npm_folder"
npm_folder=$(realpath "$npm_folder")
if ! cmp -s "$here/package-lock.json" "$npm_folder/package-lock.json" ||
  [[ ! -d $npm_folder/node_modules ]]; then
  cp "$here/package.json" "$here/package-lock.json" "$npm_folder/"
  (cd "$npm_folder" && timeout 600 npm ci --no-audit --no-fund >npm.log 2>&1) || {
    grep -qE 'ENOTFOUND|EAI_AGAIN|ECONNREFUSED|ETIMEDOUT|ENETUNREACH|network' \
      "$npm_folder/npm.log" && skip "the npm registry cannot be reached"
    fail "npm ci: $(tail -5 "$npm_folder/npm.log")"
  }
fi
export NODE_PATH=$npm_folder/node_modules

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The sample in each language, read by the outside tools.
expect_status 0 "$anthora" --export-deck "$sample" --language en
grep -q "^sample.apkg: 42 notes, 42 pictures, in the deck 'sample'$" out || fail "export: $(cat out)"
node "$here/read-deck.js" sample.apkg "$sample/ris" fen.ani sample >out || fail "English deck"
echo "$(cat out)"
expect_status 0 "$anthora" --export-deck "$sample" russian.apkg --language=ru
node "$here/read-deck.js" russian.apkg "$sample/ris" fru.ani sample >out || fail "Russian deck"
echo "$(cat out)"

# The sample as a set file, named after it.
"$anthora" --pack "$sample" flowers.anthora >/dev/null
expect_status 0 "$anthora" --export-deck flowers.anthora
node "$here/read-deck.js" flowers.apkg "$sample/ris" fen.ani flowers >/dev/null ||
  fail "a set file's deck"

# An existing deck stays without --force; a deck has its own extension; a set with errors
# makes no deck.
before=$(sha256sum sample.apkg)
expect_status 1 "$anthora" --export-deck "$sample"
grep -q 'already exists' err && [[ $(sha256sum sample.apkg) == "$before" ]] ||
  fail "replaced without --force: $(cat err)"
expect_status 0 "$anthora" --export-deck --force "$sample"
expect_status 1 "$anthora" --export-deck "$sample" deck.zip
expect_status 2 "$anthora" --export-deck "$sample" --language de
mkdir -p broken/ris
cp "$sample"/ris/*.ani broken/ris/
expect_status 1 "$anthora" --export-deck broken
[[ ! -e broken.apkg ]] && grep -q 'broken.apkg not written: the set has errors' err ||
  fail "a set with errors: $(cat err)"
[[ -z $(find . -name '.*-part-*') ]] || fail "left behind: $(find . -name '.*-part-*')"
echo "deck: ok"
