#!/usr/bin/env bash
# The program in a real window: placement and title, the start screen, the language choice, a
# whole short quiz played with the mouse up to the grade, and its end by a close request and by
# SIGTERM in the middle of the bundled quiz.
# Usage: anthora_test.sh ANTHORA ANTHORA_DRIVE CLOSE_REQUEST SAMPLE_FOLDER
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1") drive=$(realpath "$2") close_request=$(realpath "$3") sample=$(realpath "$4")
title="Anthora 1.0"

# Two questions whose right answer is the one long caption, so that a screenshot tells which
# button holds it. Both language files must exist.
write_set() {  # FOLDER LINES...
  local folder=$1
  shift
  mkdir -p "$folder/ris"
  printf '%s\n' "$@" >"$folder/ris/fen.ani"
  cp "$folder/ris/fen.ani" "$folder/ris/fru.ani"
  cp "$sample/ris/rose1.jpg" "$sample/ris/daisy2.jpg" "$folder/ris/"
}
quiz=$E2E_DIR/quiz
write_set "$quiz" 2 rose1 "Garden rose" Ivy Fig Yew daisy2 "Oxeye daisy" Oak Ash Elm
# The grade after one right answer of two, drawn headlessly: one question of four equal answers.
reference=$E2E_DIR/reference
write_set "$reference" 2 rose1 "Garden rose" "Garden rose" "Garden rose" "Garden rose"

# Client-area places that the window's description fixes.
status_line=(100 14) wrong_count=(264 32) wrong_total=(481 32) right_count=(264 54)
right_total=(481 54) start_face_top=(325 238) start_face_bottom=(325 257)
panel2=(13 29 234 234)

shot=$E2E_DIR/shot.png
pixel() { "$CONVERT" "$shot" -crop "1x1+$1+$2" txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1; }
expect_pixel() {  # WHAT X Y COLOUR
  [[ $(pixel "$2" "$3") == "$4" ]] || e2e_fail "$1 at $2,$3 is $(pixel "$2" "$3"), expected $4"
}
# Pixels of the caption area of answer button N (1 to 4) in the last shot that meet a condition.
caption_pixels() { e2e_caption_pixels "$shot" "$@"; }
ink=$E2E_INK lime=$E2E_LIME red=$E2E_RED green=$E2E_GREEN
answer_centre() { echo 379 $((E2E_ANSWER_TOPS[$1 - 1] + 15)); }

# Waits until the window's client area equals the headless drawing of the same moment.
looks_like() { e2e_window_shot "$shot" && [[ $(e2e_differing_pixels "$shot" "$1" 0 0 509 268) == 0 ]]; }
wait_looks_like() {
  e2e_until looks_like "$1" ||
    e2e_fail "the window differs from $2 in $(e2e_differing_pixels "$shot" "$1" 0 0 509 268) pixels"
}

# Waits for a freshly dealt question: four captions in black, none coloured, exactly one long
# one. Sets "right" to its button and "wrong" to another.
dealt() {
  e2e_window_shot "$shot" || return 1
  local n dark longest=0 others=0
  right=
  for n in 1 2 3 4; do
    (($(caption_pixels $n "$lime") + $(caption_pixels $n "$red") == 0)) || return 1
    dark=$(caption_pixels $n "$ink")
    ((dark > 0)) || return 1
    if ((dark > longest)); then
      ((others = others > longest ? others : longest, longest = dark, right = n))
    else
      ((others = others > dark ? others : dark))
    fi
  done
  ((longest > 2 * others)) || return 1
  wrong=$((right % 4 + 1))
}
wait_dealt() { e2e_until dealt || e2e_fail "no question was dealt"; dealt; }
has_colour() { e2e_window_shot "$shot" && (($(caption_pixels "$1" "$2") > 0)); }

printf 'shot %s\nclick xpCheckBox1\nshot %s\n' "$E2E_DIR/start.png" "$E2E_DIR/english.png" |
  (cd "$quiz" && "$drive") || e2e_fail "the driver could not draw the start screen"
printf '%s\n' "click xpCheckBox1" "click xpButton6" "click xpButton1" "click xpButton6" \
  "shot $E2E_DIR/grade.png" | (cd "$reference" && "$drive") ||
  e2e_fail "the driver could not draw the grade"

e2e_start_xvfb
xdotool mousemove --sync 0 0

echo "start screen"
cd "$quiz"
e2e_launch "$title" "$anthora"
eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
[[ "$X,$Y,$WIDTH,$HEIGHT" == "257,250,509,268" ]] ||
  e2e_fail "window at $X,$Y size ${WIDTH}x$HEIGHT, expected centred on 1024x768: 257,250 509x268"
wait_looks_like "$E2E_DIR/start.png" "the headless start screen"
expect_pixel "green status line" "${status_line[@]}" '#65B461'
expect_pixel "red-orange wrong count" "${wrong_count[@]}" '#FC4314'
expect_pixel "red-orange total" "${wrong_total[@]}" '#FC4314'
expect_pixel "green right count" "${right_count[@]}" '#00D700'
expect_pixel "green total" "${right_total[@]}" '#00D700'
expect_pixel "disabled start button" "${start_face_top[@]}" '#F1F1ED'
expect_pixel "disabled start button" "${start_face_bottom[@]}" '#F1F1ED'

echo "language choice"
e2e_click 479 246
wait_looks_like "$E2E_DIR/english.png" "the headless screen after choosing English"
expect_pixel "start button gradient" "${start_face_top[@]}" '#FDFDFD'
expect_pixel "start button gradient" "${start_face_bottom[@]}" '#CDCCDF'

echo "a right answer"
e2e_click 377 248
wait_dealt
e2e_click $(answer_centre "$right")
e2e_until has_colour "$right" "$lime" || e2e_fail "the right answer did not turn lime"
e2e_until e2e_pixel_is $((X + start_face_top[0])) $((Y + start_face_top[1])) '#FDFDFD' ||
  e2e_fail "the next button was not enabled"

echo "a wrong answer"
e2e_click 377 248
wait_dealt
e2e_click $(answer_centre "$wrong")
e2e_until has_colour "$wrong" "$red" || e2e_fail "the wrong answer did not turn red"
e2e_until has_colour "$right" "$green" || e2e_fail "the right answer was not shown in green"

echo "the grade"
e2e_click 377 248
grade_differs() { e2e_differing_pixels "$shot" "$E2E_DIR/grade.png" "${panel2[@]}"; }
grade_shown() { e2e_window_shot "$shot" && [[ $(grade_differs) == 0 ]]; }
e2e_until grade_shown || e2e_fail "the title panel differs from the headless grade in $(grade_differs) pixels"
red=$(e2e_count_colour "$shot" "${panel2[@]}" '#FF0000')
((red > 1000)) || e2e_fail "only $red pixels of the grade are red"

echo "close request"
"$close_request" "$E2E_WINDOW" || e2e_fail "the close request could not be sent"
e2e_wait_exit "a close request"
[[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "exit code $E2E_EXIT_CODE after a close request"

echo "SIGTERM in the middle of the bundled quiz"
cp -r "$sample" "$E2E_DIR/sample"
cd "$E2E_DIR/sample"
e2e_launch "$title" "$anthora"
e2e_until e2e_pixel_is $((X + status_line[0])) $((Y + status_line[1])) '#65B461' ||
  e2e_fail "the start screen was not shown"
e2e_click 281 246
e2e_click 377 248
question_shown() { e2e_window_shot "$shot" && (($(caption_pixels 1 "$ink") > 0)); }
e2e_until question_shown || e2e_fail "the first question of the bundled set was not shown"
e2e_stop TERM
[[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "exit code $E2E_EXIT_CODE after SIGTERM"
echo "anthora: ok"
