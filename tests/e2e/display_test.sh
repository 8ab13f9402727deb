#!/usr/bin/env bash
# The program on X screens of 8, 16 and 24 bits per pixel: the start screen as the headless
# drawing shows it (within the colours 16 bits can show), or, where the colours are indexed, a
# clear refusal before any window; and on the second screen of a server when DISPLAY names it.
# Usage: display_test.sh ANTHORA ANTHORA_DRIVE SAMPLE_FOLDER
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1") drive=$(realpath "$2") sample=$(realpath "$3")
title="Anthora 1.0"
cd "$sample"
printf 'shot %s\n' "$E2E_DIR/start.png" | "$drive" >/dev/null ||
  e2e_fail "the driver could not draw the start screen"

shot=$E2E_DIR/shot.png
looks_like_start() {
  e2e_window_shot "$shot" &&
    [[ $(e2e_differing_pixels "$shot" "$E2E_DIR/start.png" 0 0 509 268 5%) == 0 ]]
}

for depth in 8 16 24; do
  echo "$depth bits per pixel"
  e2e_start_xvfb -screen 0 1024x768x$depth
  if ((depth == 8)); then
    code=0
    timeout "$E2E_TIMEOUT" "$anthora" >"$E2E_LOG" 2>&1 || code=$?
    [[ $code == 1 ]] || e2e_fail "exit code $code on an 8-bit screen"
    [[ $(cat "$E2E_LOG") == "anthora: the display's depth is not supported: it needs 15 bits per pixel or more" ]] ||
      e2e_fail "unexpected output on an 8-bit screen"
  else
    e2e_launch "$title" "$anthora"
    e2e_until looks_like_start || e2e_fail "the window differs from the headless start screen in \
$(e2e_differing_pixels "$shot" "$E2E_DIR/start.png" 0 0 509 268 5%) pixels"
    e2e_stop TERM
    [[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "exit code $E2E_EXIT_CODE after SIGTERM"
  fi
  e2e_stop_xvfb
done

echo "the second screen"
e2e_start_xvfb -screen 1 800x600x24
export DISPLAY=$DISPLAY.1
e2e_launch "$title" "$anthora"
eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
[[ "$SCREEN $X,$Y" == "1 145,166" ]] ||
  e2e_fail "window on screen $SCREEN at $X,$Y, expected centred on screen 1 of 800x600: 145,166"
e2e_until looks_like_start || e2e_fail "the window on the second screen is not the start screen"
e2e_stop TERM
echo "display: ok"
