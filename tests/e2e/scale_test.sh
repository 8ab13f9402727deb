#!/usr/bin/env bash
# The program's window at twice the size on a high-density screen: its size and place, every
# pixel shown as 2 x 2 equal pixels and, halved, exactly the headless drawing; a click at the
# doubled place of the EN box choosing English; the scale chosen from Xft.dpi, and lowered
# when the window would not fit the screen, also from the largest one (--scale max).
# Usage: scale_test.sh ANTHORA ANTHORA_DRIVE SAMPLE_FOLDER
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1") drive=$(realpath "$2") sample=$(realpath "$3")
title="Anthora 1.0"
cd "$sample"
printf 'shot %s\nclick xpCheckBox1\nshot %s\n' "$E2E_DIR/start.png" "$E2E_DIR/english.png" |
  "$drive" >/dev/null || e2e_fail "the driver could not draw the start screen"

shot=$E2E_DIR/shot.png
# The window's picture, halved when each 2 x 2 block of it is one colour; fails otherwise.
halved() {
  e2e_window_shot "$shot" || return 1
  "$CONVERT" "$shot" -sample 50% "$E2E_DIR/halved.png"
  "$CONVERT" "$E2E_DIR/halved.png" -sample 200% "$E2E_DIR/doubled.png"
  [[ $(e2e_differing_pixels "$shot" "$E2E_DIR/doubled.png" 0 0 1018 536) == 0 ]]
}
shows() { halved && [[ $(e2e_differing_pixels "$E2E_DIR/halved.png" "$1" 0 0 509 268) == 0 ]]; }
expect_doubled() {  # HOW
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
  [[ "$X,$Y,$WIDTH,$HEIGHT" == "3,116,1018,536" ]] ||
    e2e_fail "$1: window at $X,$Y size ${WIDTH}x$HEIGHT, expected 1018x536 centred at 3,116"
}

e2e_start_xvfb
xdotool mousemove --sync 0 0

echo "twice the size, asked for"
e2e_launch "$title" "$anthora" --scale 2
expect_doubled "--scale 2"
e2e_until shows "$E2E_DIR/start.png" ||
  e2e_fail "the halved window differs from the headless start screen (or is not doubled)"
e2e_click $((479 * 2)) $((246 * 2))
e2e_until shows "$E2E_DIR/english.png" || e2e_fail "a click on the doubled EN box did not choose English"
e2e_stop TERM

echo "three times does not fit 1024 x 768: twice"
ANTHORA_SCALE=3 e2e_launch "$title" "$anthora"
expect_doubled "ANTHORA_SCALE=3"
e2e_stop TERM

echo "the largest that fits 1024 x 768, as the projector's entry asks: twice"
e2e_launch "$title" "$anthora" --scale max
expect_doubled "--scale max"
e2e_stop TERM

echo "twice the size from Xft.dpi: 192"
xrdb -merge <<<"Xft.dpi: 192"
xdotool mousemove --sync 0 0
e2e_launch "$title" "$anthora"
expect_doubled "Xft.dpi: 192"
e2e_until shows "$E2E_DIR/start.png" || e2e_fail "the window from Xft.dpi is not the doubled start screen"
e2e_stop TERM
echo "scale: ok"
