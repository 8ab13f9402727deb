#!/usr/bin/env bash
# A report far wider than the screen, in a real window: the box stays on the screen, its OK
# button closes it, and the start button can try again.
# Usage: message_box_test.sh ANTHORA
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1")
title="Anthora 1.0"

# A count line of 100 KB, reported whole in the error text.
mkdir -p "$E2E_DIR/set/ris"
{ head -c 100000 /dev/zero | tr '\0' '#'; printf '\r\n'; } >"$E2E_DIR/set/ris/fen.ani"
cp "$E2E_DIR/set/ris/fen.ani" "$E2E_DIR/set/ris/fru.ani"
cd "$E2E_DIR/set"

e2e_start_xvfb
e2e_launch "$title" "$anthora"
boxes() { e2e_other_windows "$title"; }
no_boxes() { ! boxes; }

e2e_click 470 246  # English
for press in 1 2; do
  e2e_click 377 248  # Begin
  e2e_until boxes || e2e_fail "press $press showed no message box"
  eval "$(xdotool getwindowgeometry --shell "$(boxes | head -n 1)")"
  ((X >= 0 && Y >= 0 && X + WIDTH <= 1024 && Y + HEIGHT <= 768)) ||
    e2e_fail "a box of ${WIDTH}x${HEIGHT} at $X,$Y does not fit the 1024x768 screen"
  xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 23)) click 1  # OK
  e2e_until no_boxes || e2e_fail "OK did not close the box after press $press"
done
e2e_stop TERM
[[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "exit code $E2E_EXIT_CODE after SIGTERM"
echo "message box: ok"
