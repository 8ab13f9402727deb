#!/usr/bin/env bash
# Fonts where the usual files are not, with the folders the program looks in named by
# ANTHORA_FONT_FOLDERS: the usual files behind a linked folder draw exactly as in their place;
# without them the nearest face that fontconfig knows draws every text; with no face at all
# the program says so and does not start.
# Usage: fonts_test.sh ANTHORA ANTHORA_DRIVE SAMPLE_FOLDER
set -euo pipefail
anthora=$(realpath "$1") drive=$(realpath "$2") sample=$(realpath "$3")
unset DISPLAY WAYLAND_DISPLAY
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME=$work/cache
fail() { echo "FAIL: $*" >&2; exit 1; }
liberation=/usr/share/fonts/truetype/liberation2 dejavu=/usr/share/fonts/truetype/dejavu

# The start screen and, after choosing Russian, the first question of the bundled set.
draw() {  # NAME [FONT_FOLDERS]
  local name=$1
  printf '%s\n' "shot $work/$name-start.png" "click xpCheckBox2" "click xpButton6" \
    "shot $work/$name-question.png" |
    (cd "$sample" && env ${2+ANTHORA_FONT_FOLDERS="$2"} "$drive" >/dev/null) ||
    fail "the driver could not draw with $name"
}
differing() { compare -metric AE "$work/$1" "$work/$2" null: 2>&1 || true; }
# Ink of the disabled start button's grey caption ("Начать") in a start screen.
caption_ink() { convert "$work/$1" -crop 100x16+327+240 +repage -fx 'intensity < 0.7 ? 1 : 0' \
  -format '%[fx:round(mean * w * h)]' info:; }

draw usual
mkdir -p "$work/linked" "$work/elsewhere"
ln -s "$liberation" "$work/linked/families"
draw linked "$work/linked"
for moment in start question; do
  [[ $(differing "usual-$moment.png" "linked-$moment.png") == 0 ]] ||
    fail "Liberation behind a linked folder draws the $moment differently"
done

# DejaVu under a name the program does not know: only fontconfig finds it.
cp "$dejavu/DejaVuSans.ttf" "$work/elsewhere/Other.ttf"
draw other "$work/elsewhere"
(($(caption_ink other-start.png) > 20)) || fail "no caption on the start button with another face"
[[ $(differing usual-start.png other-start.png) != 0 ]] || fail "the other face drew as Liberation"
mkdir "$work/named" && cp "$dejavu/DejaVuSans.ttf" "$work/named/"
draw named "$work/named"
for moment in start question; do
  [[ $(differing "named-$moment.png" "other-$moment.png") == 0 ]] ||
    fail "the face fontconfig found draws the $moment unlike the same file found by name"
done

# No face at all: a clear error before any window, and the program ends.
mkdir "$work/empty"
status=0
ANTHORA_FONT_FOLDERS="$work/empty" "$anthora" >"$work/out" 2>"$work/err" || status=$?
[[ $status == 1 ]] || fail "without fonts the program ended with $status"
grep -q '^anthora: no font to draw text with: .*install fonts-liberation2 or fonts-dejavu-core$' \
  "$work/err" && [[ $(wc -l <"$work/err") == 1 && ! -s $work/out ]] ||
  fail "without fonts: $(cat "$work/out" "$work/err")"
echo "fonts: all passed"
