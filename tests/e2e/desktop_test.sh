#!/usr/bin/env bash
# The program's manners on a desktop: a clear error without a display; X protocol errors that
# never end it; and, under a window manager, the site link's openers, message boxes that belong
# to the main window and come and go many times, each leaving the next question's answers
# freshly drawn, and a close while an opener still runs. Every run must end with exit code 0. E2E_REPEAT=N plays the quiz N times (a stress run, by hand).
# Usage: desktop_test.sh ANTHORA CLOSE_REQUEST X_ERROR_REPORT
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1") close_request=$(realpath "$2") x_error_report=$(realpath "$3")
title="Anthora 1.0"
questions=12

echo "no display"
mkdir -m 700 "$E2E_DIR/runtime"
for runtime in "" "$E2E_DIR/runtime"; do
  code=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$runtime" \
    timeout "$E2E_TIMEOUT" "$anthora" >"$E2E_LOG" 2>&1 || code=$?
  [[ $code == 1 ]] || e2e_fail "exit code $code without a display"
  [[ $(wc -l <"$E2E_LOG") == 1 ]] &&
    grep -q ": cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY is set$" "$E2E_LOG" ||
    e2e_fail "unexpected output without a display"
done

e2e_start_xvfb
echo "X protocol errors"
"$x_error_report" >"$E2E_LOG" 2>&1 || e2e_fail "an X protocol error ended the program"
grep -qx closed "$E2E_LOG" || e2e_fail "the platform did not close"
[[ $(grep -c "ignored an X protocol error: BadWindow" "$E2E_LOG") == 1 ]] ||
  e2e_fail "expected the first of two errors reported, once"

# Questions whose pictures are all missing: each "Next" raises a message box. Every answer is
# the same, so the answer buttons keep their captions from question to question.
quiz=$E2E_DIR/quiz
mkdir -p "$quiz/ris"
{
  echo "$questions"
  for n in $(seq "$questions"); do printf '%s\n' "missing$n" Same Same Same Same; done
} >"$quiz/ris/fen.ani"
cp "$quiz/ris/fen.ani" "$quiz/ris/fru.ani"
# The site link's opener notes that it started and what it opens, and takes its time.
openers=$E2E_DIR/openers addresses=$E2E_DIR/addresses
mkdir "$E2E_DIR/bin"
printf '#!/bin/sh\necho $$ >>"%s"\necho "$*" >>"%s"\nexec sleep 60\n' "$openers" "$addresses" \
  >"$E2E_DIR/bin/xdg-open"
chmod +x "$E2E_DIR/bin/xdg-open"
export PATH="$E2E_DIR/bin:$PATH"

box_of() { e2e_other_windows "$title" | head -n 1; }
find_box() { box=$(box_of || true) && [[ -n $box ]]; }
no_box() { [[ -z $(box_of || true) ]]; }
hex() { printf '0x%x' "$1"; }

# The box is a dialog of the main window, centred on the screen as the main window was at its
# start (the main window has moved since), and a click on the main window brings it back to
# the front.
check_box_manners() {
  xprop -id "$box" WM_TRANSIENT_FOR | grep -q "# $(hex "$main")\$" ||
    e2e_fail "the box is not transient for the main window"
  xprop -id "$box" _NET_WM_WINDOW_TYPE | grep -q "= _NET_WM_WINDOW_TYPE_DIALOG" ||
    e2e_fail "the box is not a dialog"
  # Both windows have a fixed size and ask the window manager to offer no maximising, and the
  # box no minimising either (openbox honours the first and still offers to minimise).
  local window actions
  for window in "$main" "$box"; do
    actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
    [[ $actions != *MAXIMIZE* && $actions != *RESIZE* ]] || e2e_fail "$window allows $actions"
  done
  xprop -id "$main" _MOTIF_WM_HINTS | grep -q "= 0x3, 0x2c," || e2e_fail "the main window offers more"
  xprop -id "$box" _MOTIF_WM_HINTS | grep -q "= 0x3, 0x24," || e2e_fail "the box offers more"
  local b dx dy
  b=($(e2e_client_geometry "$box"))
  dx=$((2 * b[0] + b[2] - 2 * centred[0] - centred[2]))
  dy=$((2 * b[1] + b[3] - 2 * centred[1] - centred[3]))
  ((dx * dx <= 4 && dy * dy <= 4)) ||
    e2e_fail "the box ${b[*]} is not centred on the screen as the main window was: ${centred[*]}"
  # The window manager activates the main window on the click; the box takes it back.
  local spy=$E2E_DIR/active.log spy_pid
  xprop -root -spy _NET_ACTIVE_WINDOW >"$spy" &
  spy_pid=$!
  e2e_until test -s "$spy" || e2e_fail "the active window cannot be watched"
  e2e_click 100 14
  e2e_until box_active_again "$spy" || e2e_fail "a click on the main window left the box behind"
  kill "$spy_pid"
}
# A new question's answers are all black, none still lime from the last one.
shot=$E2E_DIR/shot.png
answers_black() {
  e2e_window_shot "$shot" || return 1
  local n
  for n in 1 2 3 4; do
    (($(e2e_caption_pixels "$shot" $n "$E2E_LIME") == 0)) || return 1
    (($(e2e_caption_pixels "$shot" $n "$E2E_INK") > 0)) || return 1
  done
}
# The openers run as the program's children.
openers_running() { [[ $(pgrep -c -P "$E2E_PROGRAM_PID") == "$1" ]]; }
box_active_again() { (($(wc -l <"$1") > 1)) && [[ $(tail -n 1 "$1") == *"# $(hex "$box")" ]]; }

e2e_start_window_manager
cd "$quiz"
for run in $(seq "${E2E_REPEAT:-1}"); do
  echo "run $run: boxes under a window manager"
  e2e_launch "$title" "$anthora"
  main=$E2E_WINDOW
  centred=($(e2e_client_geometry "$main"))
  # A double click on the site link opens it once; then every click opens it again while
  # the earlier openers still run, and the window goes on meanwhile.
  : >"$openers"
  : >"$addresses"
  e2e_click 150 70 --repeat 2 --delay 60
  e2e_click 479 246 # English, which enables the start button
  origin=($(e2e_client_origin "$main"))
  e2e_wait_pixel $((origin[0] + 325)) $((origin[1] + 238)) '#FDFDFD'
  openers_running 1 || e2e_fail "a double click started $(pgrep -c -P "$E2E_PROGRAM_PID") openers"
  e2e_until grep -qx "https://anthora.example.org/" "$addresses" ||
    e2e_fail "the opener was not handed the site's address"
  for click in 2 3 4; do
    sleep 0.3
    e2e_click 150 70
  done
  e2e_until openers_running 4 ||
    e2e_fail "three clicks 0.3 s apart left $(pgrep -c -P "$E2E_PROGRAM_PID") openers running, expected 4"
  e2e_until test "$(grep -cx "https://anthora.example.org/" "$addresses")" = 4 ||
    e2e_fail "the openers were handed $(wc -l <"$addresses") addresses, expected 4"
  # Openers that end leave nothing behind: no zombie stays among the program's children.
  head -n 2 "$openers" | xargs kill
  e2e_until openers_running 2 || e2e_fail "ended openers were not reaped: $(ps -o pid=,stat= --ppid "$E2E_PROGRAM_PID" | tr '\n' ' ')"
  xdotool windowmove --sync "$main" 40 30
  for n in $(seq "$questions"); do
    e2e_click 377 248 # Begin, Next
    e2e_until find_box || e2e_fail "no message box for question $n"
    ((n > 1)) || check_box_manners
    xdotool windowactivate --sync "$box"
    xdotool key Return
    e2e_until no_box || e2e_fail "the box of question $n stayed"
    e2e_until answers_black || e2e_fail "after the box of question $n an answer kept its colour"
    e2e_click 379 96 # the first answer
  done
  opener=$(tail -n 1 "$openers")
  kill -0 "$opener" || e2e_fail "the opener has ended too early"
  "$close_request" "$main" || e2e_fail "the close request could not be sent"
  e2e_wait_exit "a close request"
  [[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "exit code $E2E_EXIT_CODE in run $run"
  ! grep -q "X protocol error" "$E2E_LOG" || e2e_fail "an X protocol error in run $run"
done
xargs kill <"$openers" 2>/dev/null || true
echo "desktop: ok"
