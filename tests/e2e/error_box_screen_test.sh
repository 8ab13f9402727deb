#!/usr/bin/env bash
# What the real window shows once each of the quiz's boxes is closed: no set file, a bad count
# line, a missing picture, and a picture whose decode fails at its first paint, early and late
# in the stream. The window must equal the headless drawing of the same moment, and the picture
# box must hold, pixel for pixel, what djpeg decodes of its picture: the title picture, the
# last picture shown, or the rows decoded of the damaged one.
# Usage: error_box_screen_test.sh ANTHORA ANTHORA_DRIVE SAMPLE_FOLDER TITLE_PICTURE
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1") drive=$(realpath "$2") sample=$(realpath "$3") title_jpeg=$(realpath "$4")
title="Anthora 1.0"
picture_box=(15 31 230 230)
shot=$E2E_DIR/shot.png

# A copy of the JPEG with a marker the library rejects written into its entropy-coded data at
# the given share of its length: decoding fails with "JPEG error #68" after the last row.
damage() {  # SOURCE SHARE TARGET
  python3 - "$@" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
scan, end = data.find(b"\xff\xda"), data.rfind(b"\xff\xd9")
first = scan + 2 + (data[scan + 2] << 8 | data[scan + 3]) + 1
at = first + int(float(sys.argv[2]) * (end - 2 - first))
while data[at - 1] == 0xFF or data[at] == 0xFF:
    at += 1
data[at:at + 2] = b"\xff\xf7"
open(sys.argv[3], "wb").write(data)
EOF
}

# One folder per case; every answer is the same, so any answer is right.
make_case() {  # NAME COUNT_LINE PICTURES...
  local folder=$E2E_DIR/$1 count=$2 name
  shift 2
  mkdir -p "$folder/ris"
  {
    echo "$count"
    for name in "$@"; do printf '%s\n' "$name" Same Same Same Same; done
  } >"$folder/ris/fen.ani"
  cp "$folder/ris/fen.ani" "$folder/ris/fru.ani"
}
make_case no-set 1 rose1
rm "$E2E_DIR/no-set/ris/fru.ani"
make_case bad-count twelve rose1
make_case missing-picture 2 rose1 gone
cp "$sample/ris/rose1.jpg" "$E2E_DIR/missing-picture/ris/"
for place in early late; do
  make_case "damaged-$place" 1 rose1
  damage "$sample/ris/rose1.jpg" "$([[ $place == early ]] && echo 0.1 || echo 0.9)" \
    "$E2E_DIR/damaged-$place/ris/rose1.jpg"
done

# What the picture box must show, decoded by djpeg with the program's settings.
djpeg -dct float -outfile "$E2E_DIR/title.ppm" "$title_jpeg"
djpeg -dct float -outfile "$E2E_DIR/rose1.ppm" "$sample/ris/rose1.jpg"
for place in early late; do
  djpeg -dct float -outfile "$E2E_DIR/damaged-$place.ppm" "$E2E_DIR/damaged-$place/ris/rose1.jpg" \
    2>/dev/null || true  # djpeg writes every row, then fails as the program does
done

box_of() { e2e_other_windows "$title" | head -n 1; }
find_box() { box=$(box_of || true) && [[ -n $box ]]; }
no_box() { [[ -z $(box_of || true) ]]; }

# Pixels of the window that differ from the headless drawing, outside the answer buttons and
# the start button: which of them shows the focus depends on the desktop's focus, which no
# window manager gives back here once the box has gone.
differing_from_drawing() {
  local sum=0 region
  for region in "0 0 509 81" "0 81 262 187" "496 81 13 187" "262 222 43 46" "450 222 59 46"; do
    ((sum += $(e2e_differing_pixels "$shot" "$E2E_DIR/drawn.png" $region)))
  done
  echo "$sum"
}
differing_from_decode() {
  "$CONVERT" "$shot" -crop "${picture_box[2]}x${picture_box[3]}+${picture_box[0]}+${picture_box[1]}" \
    +repage "$E2E_DIR/box.png"
  "$COMPARE" -metric AE "$E2E_DIR/box.png" "$1" null: 2>&1 || true
}
as_expected() {
  e2e_window_shot "$shot" && [[ $(differing_from_drawing) == 0 ]] &&
    [[ $(differing_from_decode "$1") == 0 ]]
}

e2e_start_xvfb
xdotool mousemove --sync 0 0
run_case() {  # NAME EXPECTED_PICTURE CLICKS...
  local name=$1 expected=$2
  shift 2
  echo "$name"
  printf '%s\n' "$@" "move 0 0" "shot $E2E_DIR/drawn.png" | (cd "$E2E_DIR/$name" && "$drive" >/dev/null) ||
    e2e_fail "the driver could not draw $name"
  cd "$E2E_DIR/$name"
  e2e_launch "$title" "$anthora"
  local click
  for click in "$@"; do
    case $click in
      "click xpCheckBox1") e2e_click 470 246 ;;
      "click xpButton6") e2e_click 377 248 ;;
      "click xpButton1") e2e_click 379 96 ;;
    esac
  done
  e2e_until find_box || e2e_fail "$name showed no box"
  eval "$(xdotool getwindowgeometry --shell "$box")"
  xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 23)) click 1  # OK
  e2e_until no_box || e2e_fail "the box of $name stayed"
  local origin
  origin=($(e2e_client_origin "$E2E_WINDOW"))
  xdotool mousemove --sync "${origin[0]}" "${origin[1]}"  # where no control lights up
  e2e_until as_expected "$expected" ||
    e2e_fail "after the box of $name the window differs from the headless drawing in" \
      "$(differing_from_drawing) pixels and the picture box from djpeg's decode in" \
      "$(differing_from_decode "$expected") pixels"
  e2e_stop TERM
  [[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "exit code $E2E_EXIT_CODE after $name"
}

run_case no-set "$E2E_DIR/title.ppm" "click xpCheckBox1" "click xpButton6"
run_case bad-count "$E2E_DIR/title.ppm" "click xpCheckBox1" "click xpButton6"
run_case missing-picture "$E2E_DIR/rose1.ppm" "click xpCheckBox1" "click xpButton6" \
  "click xpButton1" "click xpButton6"
for place in early late; do
  run_case "damaged-$place" "$E2E_DIR/damaged-$place.ppm" "click xpCheckBox1" "click xpButton6"
done
echo "error box screens: ok"
