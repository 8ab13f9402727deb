#!/usr/bin/env bash
# The desktop platform in a real window: placement, presenting, clicks, double clicks, keys,
# the pointer leaving, and a clean exit on SIGTERM and SIGINT. Usage: platform_demo_test.sh PLATFORM_DEMO
source "$(dirname "$0")/lib.sh"
demo=$1

blue='#3060A0' red='#D04020' green='#40A050'

e2e_start_xvfb
e2e_launch "Platform demo" "$demo"

# Centred on the 1024x768 screen with a 509x268 client area.
eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
[[ "$X,$Y,$WIDTH,$HEIGHT" == "257,250,509,268" ]] ||
  e2e_fail "window at $X,$Y size ${WIDTH}x$HEIGHT, expected 257,250 509x268"
left_x=$((X + 100)) right_x=$((X + 400)) mid_y=$((Y + 100))
e2e_wait_pixel "$left_x" "$mid_y" "$blue"
e2e_wait_pixel "$right_x" "$mid_y" "$blue"

# A click recolours only the half it hits.
xdotool mousemove --sync "$right_x" "$mid_y" click 1
e2e_wait_log '^MouseDown 400 100 .*shift=8$'
e2e_wait_log '^MouseUp 400 100 .*shift=0$'
e2e_wait_pixel "$right_x" "$mid_y" "$red"
e2e_wait_pixel "$left_x" "$mid_y" "$blue"

# The second press of a double click arrives as a double click; both presses recolour.
xdotool mousemove --sync "$left_x" "$mid_y" click --repeat 2 --delay 80 1
e2e_wait_log '^MouseDoubleClick 100 100 .*shift=72$'
e2e_wait_pixel "$left_x" "$mid_y" "$green"
[[ $(grep -c '^MouseDown 100 100' "$E2E_LOG") == 1 ]] || e2e_fail "expected one MouseDown"

# Keys give their virtual key, typed text its characters.
xdotool key a
e2e_wait_log '^KeyDown .*key=65 '
e2e_wait_log '^Char .*char=97 '
e2e_wait_log '^KeyUp .*key=65 '

xdotool mousemove --sync 5 5
e2e_wait_log '^MouseLeave '

e2e_stop TERM
[[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "exit code $E2E_EXIT_CODE after SIGTERM"
[[ $(tail -n 1 "$E2E_LOG") == Close* ]] || e2e_fail "the last event was not a Close"
# An interrupt closes the program the same way, even when started in the background.
e2e_launch "Platform demo" "$demo"
e2e_stop INT
[[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "exit code $E2E_EXIT_CODE after SIGINT"
echo "platform demo: ok"
