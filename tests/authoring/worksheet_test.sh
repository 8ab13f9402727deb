#!/usr/bin/env bash
# The worksheet of the bundled sample as a teacher prints it: every answer and the key found in
# the PDF's text in both languages, the grades of the quiz's scoring, the pictures drawn where
# they belong from the set's own JPEGs, a damaged picture drawn as a crossed box with a warning,
# and an existing PDF kept without --force.
# Usage: worksheet_test.sh ANTHORA SAMPLE_FOLDER
set -euo pipefail
anthora=$(realpath "$1") sample=$(realpath "$2")
unset DISPLAY WAYLAND_DISPLAY
export LANGUAGE=en LC_ALL=C.UTF-8
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
# The lines of a set file in UTF-8 without line ends: LINES FILE [ENCODING].
set_lines() { iconv -f "${2:-CP1251}" -t UTF-8 "$1" | tr -d '\r'; }
answers() { set_lines "$1" | awk 'NR > 1 && (NR - 2) % 5 != 0 && $0 != ""'; }
pictures() { set_lines "$1" | awk 'NR > 1 && (NR - 2) % 5 == 0 && $0 != ""'; }
mean() { convert "$1" -colorspace Gray -format '%[fx:mean]' info:; }

expect_status 0 "$anthora" --worksheet "$sample"
[[ -f sample-worksheet.pdf ]] && grep -q '^sample-worksheet.pdf: 42 questions$' out ||
  fail "the default worksheet: $(cat out err; ls)"
[[ ! -s err ]] || fail "warnings about the sample: $(cat err)"
[[ $(pdfinfo sample-worksheet.pdf | awk '/^Page size/ { print $3 "x" $5 }') == 595.28x841.89 ]] ||
  fail "not A4: $(pdfinfo sample-worksheet.pdf)"
pages=$(pdfinfo sample-worksheet.pdf | awk '/^Pages/ { print $2 }')
[[ $pages == 8 ]] || fail "42 questions six to a page and a key make 8 pages, not $pages"

# The text: every answer of every question, the pupil's lines, the key and the grades.
pdftotext sample-worksheet.pdf text
while IFS= read -r answer; do
  grep -qF -- "$answer" text || fail "the answer $answer is not in the worksheet's text"
done < <(answers "$sample/ris/fen.ani")
for label in Name: Class: Date: 'Answer key' 'Grades for 42 questions'; do
  grep -qF "$label" text || fail "no $label in the worksheet"
done
pdftotext -layout -f "$pages" -l "$pages" sample-worksheet.pdf key
number=0
while IFS= read -r right; do
  number=$((number + 1))
  grep -qE "(^| )$number\. +[ABCD] +$right( |$)" key || fail "key for question $number ($right)"
done < <(set_lines "$sample/ris/fen.ani" | awk 'NR > 1 && (NR - 3) % 5 == 0')
[[ $number == 42 ]] || fail "the key has $number questions"
# Only all right give a 5; 4 * right / 42 rounded half to even gives the others.
for row in '5 +42$' '4 +37-41$' '3 +27-36$' '2 +16-26$' '1 +6-15$' '0 +0-5$'; do
  grep -qE "^ *$row" key || fail "grade row $row: $(cat key)"
done

# The pictures: page 1 at 72 dots an inch, one pixel a point. Each picture's square lies left in
# its cell, two cells a row, three rows; inside it the set's JPEG, beside it white paper.
pdftoppm -r 72 -f 1 -l 1 -png sample-worksheet.pdf page
slot=0
while IFS= read -r picture && ((slot < 6)); do
  left=$((68 + 256 * (slot % 2))) top=$((128 + 226 * (slot / 2)))
  convert page-1.png -crop "112x112+$((left + 8))+$((top + 8))" +repage drawn.png
  convert "$sample/ris/$picture.jpg" -resize '128x128!' -crop 112x112+8+8 +repage wanted.png
  difference=$( (compare -metric RMSE drawn.png wanted.png null: 2>&1 || true) | sed 's/.*(\(.*\))/\1/')
  awk -v d="$difference" 'BEGIN { exit !(d < 0.12) }' ||
    fail "question $((slot + 1)): the picture drawn differs from $picture.jpg by $difference"
  convert page-1.png -crop "40x100+$((left + 140))+$((top + 10))" +repage beside.png
  awk -v m="$(mean beside.png)" 'BEGIN { exit !(m > 0.99) }' ||
    fail "question $((slot + 1)): the paper beside the picture is not white"
  slot=$((slot + 1))
done < <(pictures "$sample/ris/fen.ani")

# A reprint is the same sheet; an existing file is replaced only with --force.
expect_status 0 "$anthora" --worksheet "$sample" again.pdf
cmp -s <(pdftotext again.pdf -) text || fail "a reprint deals the answers differently"
touch kept.pdf
expect_status 1 "$anthora" --worksheet "$sample" kept.pdf
[[ ! -s kept.pdf ]] || fail "an existing file was replaced without --force"
expect_status 0 "$anthora" --worksheet --force "$sample" kept.pdf
[[ -s kept.pdf ]] || fail "--force did not replace the file"
expect_status 1 "$anthora" --worksheet "$sample" sheet.png
grep -q "a worksheet is a PDF document" err || fail "a worksheet named .png: $(cat err)"

# A damaged picture: a crossed box and a warning that names it; the other pictures stay.
cp -r "$sample" damaged
first=$(pictures "$sample/ris/fen.ani" | head -n 1)
printf 'not a picture at all' >"damaged/ris/$first.jpg"
expect_status 0 "$anthora" --worksheet damaged
grep -q "warning: question 1: picture '$first' drawn as a crossed box" err ||
  fail "no warning for the damaged picture: $(cat err)"
[[ $(wc -l <err) == 1 ]] || fail "more than the one warning: $(cat err)"
pdftoppm -r 72 -f 1 -l 1 -png damaged-worksheet.pdf damaged
convert damaged-1.png -crop 112x112+76+136 +repage crossed.png
awk -v m="$(mean crossed.png)" 'BEGIN { exit !(m > 0.9) }' || fail "no crossed box drawn"
convert damaged-1.png -crop 112x112+332+136 +repage second.png
awk -v m="$(mean second.png)" 'BEGIN { exit !(m < 0.9) }' || fail "the second picture is gone"

# In Russian the sheet prints the Russian set with the Russian words.
LANGUAGE=ru expect_status 0 "$anthora" --worksheet "$sample" russian.pdf
pdftotext russian.pdf text
while IFS= read -r answer; do
  grep -qF -- "$answer" text || fail "the Russian answer $answer is not in the worksheet's text"
done < <(answers "$sample/ris/fru.ani")
for label in 'Ключ ответов' 'Оценки за 42 вопроса' 'Класс:'; do
  grep -qF "$label" text || fail "no $label in the Russian worksheet"
done
echo "worksheet: ok"
