#!/usr/bin/env bash
# The command line without a display: help, version and usage errors; the checker on the
# bundled sample; a spreadsheet table with phone-sized JPEG and PNG photos built into a set that
# the checker passes and the quiz plays to its end in both languages; an existing set kept
# without --force; a faulty table named at its lines with nothing written; a new sheet.
# Usage: authoring_test.sh ANTHORA ANTHORA_DRIVE SAMPLE_FOLDER
set -euo pipefail
anthora=$(realpath "$1") drive=$(realpath "$2") sample=$(realpath "$3")
unset DISPLAY WAYLAND_DISPLAY
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_status() {  # STATUS COMMAND...: runs it with output in out and err
  local want=$1 got=0
  shift
  "$@" >out 2>err || got=$?
  [[ $got == "$want" ]] || fail "$* exited with $got, expected $want: $(cat out err)"
}

expect_status 0 "$anthora" --help
grep -q '^Usage: anthora \[OPTIONS\] \[FOLDER\]' out || fail "--help: $(cat out)"
expect_status 0 "$anthora" --version
[[ $(cat out) == "anthora 1.0" ]] || fail "--version: $(cat out)"
expect_status 2 "$anthora" --no-such-option
[[ ! -s out ]] && grep -q '^Usage:' err || fail "an unknown option: $(cat out err)"
expect_status 2 "$anthora" --build-set only-source
expect_status 2 "$anthora" --check -dir
grep -q "^anthora: unknown option '-dir'$" err || fail "a wrong option: $(cat err)"

# Output that cannot be written is a failure, said on standard error.
for command in --help --version "--check $sample"; do
  status=0
  "$anthora" $command >/dev/full 2>err || status=$?
  [[ $status == 1 ]] && grep -q 'cannot write to standard output: No space left' err ||
    fail "$command into a full disk: $status $(cat err)"
done

expect_status 0 "$anthora" --check "$sample"
[[ $(wc -l <out) == 1 ]] && grep -q '42 questions.*no errors, no warnings$' out ||
  fail "the sample: $(cat out)"

# A teacher's table, saved by a spreadsheet: a byte-order mark, CR LF, a quoted cell with a
# tab-free comma and a doubled quote, a blank at the end of a cell, notes in a column without a
# name and an empty last row; photos named with other letter cases, in a subfolder (written the
# Windows way) and in Cyrillic.
mkdir -p source/phone
convert -size 1200x800 gradient:red-blue source/phone/IMG_0001.JPG
convert -size 97x301 gradient:yellow-none "source/Роза.png"
convert -size 301x97 plasma:fractal -seed 1 source/tulip.jpeg
printf '\xEF\xBB\xBF\tpicture\tru\tru_wrong1\tru_wrong2\tru_wrong3\ten\ten_wrong1\ten_wrong2\ten_wrong3\r\n' >source/questions.tsv
printf 'a\tphone\\img_0001.jpg\tРоза\tТюльпан\tГеоргин\tАстра\tRose\tTulip \tDahlia\tAster\r\n' >>source/questions.tsv
printf '\tРоза.PNG\tРоза\tМак\tЛилия\tАстра\t"Rose, ""wild"""\tPoppy\tLily\tAster\r\n' >>source/questions.tsv
printf '\tTULIP\tТюльпан\tРоза\tМак\tЛилия\tTulip\tRose\tPoppy\tLily\r\n\t\t\t\t\t\t\t\t\t\r\n' >>source/questions.tsv
before=$(cd source && find . -type f -exec md5sum {} + | sort)

expect_status 0 "$anthora" --build-set source set
grep -q '3 questions, 3 pictures' out && grep -q 'anthora --preview set$' out ||
  fail "the build: $(cat out err)"
# The build's warnings come first; the line after them is about the finished set.
grep -q "^source/questions.tsv:3: warning: photo 'source/Роза.png' is only 97 x 301 pixels" err &&
  grep -qx 'the finished set, set/ris/fen.ani (3 questions) and set/ris/fru.ani (3 questions): no errors, no warnings' out ||
  fail "the build's report: $(cat out err)"
[[ $(cd source && find . -type f -exec md5sum {} + | sort) == "$before" ]] ||
  fail "the source folder changed"
[[ $(ls set/ris | tr '\n' ' ') == "fen.ani fru.ani img-0001.jpg roza.jpg tulip.jpg " ]] ||
  fail "the set's files: $(ls set/ris)"
for picture in set/ris/*.jpg; do
  [[ $(identify -format '%w %h %[interlace] %m' "$picture") == "230 230 None JPEG" ]] ||
    fail "$picture: $(identify "$picture")"
done
[[ $(sed -n 1,3p set/ris/fen.ani) == $'3\r\nimg-0001\r\nRose\r' ]] || fail "fen.ani: $(cat -A set/ris/fen.ani)"
[[ $(sed -n 8p set/ris/fen.ani) == $'Rose, "wild"\r' ]] || fail "fen.ani: $(cat -A set/ris/fen.ani)"
[[ $(iconv -f CP1251 -t UTF-8 set/ris/fru.ani | sed -n 3p) == $'Роза\r' ]] ||
  fail "fru.ani: $(cat -A set/ris/fru.ani)"
expect_status 0 "$anthora" --check set

# The built set in one picture, written once unless replacing is asked for.
expect_status 0 "$anthora" --preview set
[[ $(identify -format '%m %w' set-preview.png) == "PNG 1694" ]] || fail "$(identify set-preview.png)"
expect_status 1 "$anthora" --preview set
grep -q 'set-preview.png: already exists; add --force' err || fail "no --force: $(cat err)"
expect_status 0 "$anthora" --preview --force set set-preview.png

# Played to the end in each language, every picture found, no message box.
for box in xpCheckBox1 xpCheckBox2; do
  printf 'click %s\n' $box xpButton6 xpButton1 xpButton6 xpButton1 xpButton6 xpButton1 \
    xpButton6 | sed '$a dump' | (cd set && "$drive") >played
  ! grep -q '"dialog"' played || fail "$box: $(grep dialog played)"
  grep -q '"name": "Image1".*"visible": false' played || fail "$box: the quiz did not end"
  grep -q '"QuestionCount": 3, "RightCount": [0-3], "WrongCount": [0-3]' played ||
    fail "$box: $(tail -n 1 played)"
done

# An existing set stays without --force; with it, the set is replaced and the files the builder
# did not write stay; a file named ris is never replaced.
touch set/ris/mine set/ris/old.jpg
expect_status 1 "$anthora" --build-set source set
grep -q 'set/ris: error: already exists; add --force' err || fail "no --force: $(cat err)"
[[ -e set/ris/mine ]] || fail "the old set was touched"
expect_status 0 "$anthora" --build-set --force source set
[[ -e set/ris/mine && ! -e set/ris/old.jpg && $(ls -A set) == ris ]] ||
  fail "--force: $(ls -AR set)"
mkdir plain && echo file >plain/ris
expect_status 1 "$anthora" --build-set --force source plain
grep -q '^plain/ris: error: is not a folder' err && [[ $(cat plain/ris) == file ]] ||
  fail "a file named ris: $(cat err)"

# Stopped at any moment, a build either finished or left nothing behind. A signal that comes
# once the set is in place still ends the check that follows, so a whole set may come with
# either status.
for delay in 0.02 0.1; do
  "$anthora" --build-set source interrupted/deeper >/dev/null 2>&1 &
  sleep $delay
  kill -TERM $! 2>/dev/null || true
  status=0
  wait $! || status=$?
  if [[ -e interrupted ]]; then
    [[ ($status == 0 || $status == 143) && $(ls -A interrupted) == deeper &&
      $(ls -A interrupted/deeper) == ris &&
      $(ls interrupted/deeper/ris | tr '\n' ' ') == "fen.ani fru.ani img-0001.jpg roza.jpg tulip.jpg " ]] ||
      fail "stopped ($status): $(ls -AR interrupted)"
    rm -r interrupted
  else
    [[ $status == 143 ]] || fail "stopped ($status) with nothing written"
  fi
done

# A photo must lie in the source folder, also through links.
echo private >outside.jpg
ln -s ../outside.jpg source/link.jpg
printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n../outside.jpg\tA\tB\tC\tD\n' >source/questions.tsv
printf '%s\tA\tB\tC\tD\nlink.jpg\tA\tB\tC\tD\n' "$work/outside.jpg" >>source/questions.tsv
expect_status 1 "$anthora" --build-set source outside
[[ $(grep -c 'lies outside the source folder' err) == 3 ]] && grep -q '^source/questions.tsv:4: ' err ||
  fail "photos outside: $(cat err)"
rm source/link.jpg

# After a build, the check names the sheet's rows, never the written files, and repeats nothing
# the sheet's reading said.
printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\ntulip\tA\tB\tC\tD\ntulip\t%s\tB\tC\tD\n' \
  "$(printf 'W%.0s' {1..40})" >source/questions.tsv
expect_status 0 "$anthora" --build-set source rows
grep -q '^source/questions.tsv:3: warning: .* pixels wide' out && ! grep -q 'ris/f..\.ani:' out &&
  [[ $(cat out err | grep -c 'right answer') == 1 ]] || fail "the check: $(cat out err)"

# A faulty table: every problem at its line, nothing written.
printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\tru\nmissing.jpg\tA\tB\tC\tD\tE\ntulip\tA\n' \
  >source/questions.tsv
expect_status 1 "$anthora" --build-set source faulty
grep -q "^source/questions.tsv:2: error: photo 'source/missing.jpg' not found$" err &&
  grep -q '^source/questions.tsv:3: error: the Russian answers are empty' err ||
  fail "faults: $(cat err)"
[[ ! -e faulty ]] || fail "a faulty table wrote $(ls -R faulty)"
# Reports stay one finding a line and few: a folder name with a line break in it, and a column
# named 25 times.
expect_status 1 "$anthora" --check $'odd\nname'
[[ $(wc -l <out) == 3 ]] && grep -q '^odd\\nname/ris/fen.ani: error: missing' out ||
  fail "an odd name: $(cat out)"
{ printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3'; printf '\ten%.0s' {1..25}; echo; } \
  >source/questions.tsv
expect_status 1 "$anthora" --build-set source many
[[ $(grep -c "named twice" err) == 20 ]] &&
  grep -q '^source/questions.tsv: error: and 5 more like it$' err &&
  grep -q '^nothing written: 25 errors' err || fail "many alike: $(cat err)"
# A new sheet beside the photos, and never one over a sheet that is there.
expect_status 0 "$anthora" --new-sheet fresh questions.tsv
[[ $(sed -n 1p fresh/questions.tsv) == $'\xEF\xBB\xBFpicture\ten\t'* ]] || fail "new sheet: $(cat out)"
# A sheet with a row per photo, and a next command that the shell takes as it was meant, for a
# folder whose name has a space and a quote.
folder="Цветы 6Б it's"
mkdir -p "$folder/extra" && cp set/ris/roza.jpg "$folder/" && cp set/ris/roza.jpg "$folder/extra/b.JPG"
expect_status 0 "$anthora" --new-sheet "$folder"
[[ $(sed -n 1p out) == "$folder/questions.ods: a row for each of 2 photos; "* ]] ||
  fail "new sheet from photos: $(cat out)"
suggested=$(sed -n 2p out)
[[ $suggested == "anthora --build-set "* ]] || fail "the next command: $suggested"
expect_status 1 bash -c "anthora() { '$anthora' \"\$@\"; }; $suggested"
grep -qF "$folder/questions.ods:2: error: " err || fail "the suggested build: $(cat err)"
expect_status 1 "$anthora" --new-sheet source
grep -q '^source/questions.tsv: error: already exists' err || fail "over a sheet: $(cat err)"
echo "authoring: all passed"
