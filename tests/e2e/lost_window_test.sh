#!/usr/bin/env bash
# Windows that another program destroys, with the program started from a terminal in the
# background, where the terminal stops whatever writes to it: a lost message box is closed and
# the quiz goes on; a lost main window, even under a box, ends the program as a close does;
# SIGTERM always ends it; either way with exit code 0 and the set file's run folder removed.
# Usage: lost_window_test.sh ANTHORA
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1")
title="Anthora 1.0"

# Two questions whose pictures are missing: each "Begin" or "Next" raises a message box.
mkdir -p "$E2E_DIR/set/ris" "$E2E_DIR/runtime"
{
  echo 2
  for n in 1 2; do printf '%s\n' "missing$n" Same Same Same Same; done
} >"$E2E_DIR/set/ris/fen.ani"
cp "$E2E_DIR/set/ris/fen.ani" "$E2E_DIR/set/ris/fru.ani"
(cd "$E2E_DIR/set" && zip -qr ../set.anthora ris)
# The program alone gets a run folder of its own; other programs of the session (a message bus
# started for it, say) may leave their own entries there, which are not the program's.
runtime=$E2E_DIR/runtime
chmod 700 "$runtime"

# The program runs as a job of a shell on a terminal of its own, set to stop a job in the
# background that writes to it. The shell notes the job's id and how it ended, or stopped.
status=$E2E_DIR/status
cat >"$E2E_DIR/job.sh" <<EOF
set -m
stty tostop
XDG_RUNTIME_DIR="$runtime" "$anthora" "$E2E_DIR/set.anthora" &
echo \$! >"$E2E_DIR/job"
wait -f \$!
echo \$? >"$status"
EOF
terminal=
launch_as_job() {
  rm -f "$status"
  e2e_launch "$title" script -qfec "bash $E2E_DIR/job.sh" /dev/null </dev/null
  terminal=$E2E_PROGRAM_PID
  E2E_PROGRAM_PID=$(<"$E2E_DIR/job")
  ls -A "$runtime" | grep -q '^anthora-set-' || e2e_fail "the set file is unpacked elsewhere"
}
# The terminal ends with the program; its shell must have noted how before the files go.
trap '[[ -z $terminal ]] || { kill -KILL "$E2E_PROGRAM_PID"; wait "$terminal"; } 2>/dev/null
  e2e_cleanup' EXIT
wait_for_job() {  # WHAT
  e2e_until test -s "$status" || e2e_fail "the program did not end after $1"
  [[ $(<"$status") == 0 ]] || e2e_fail "exit status $(<"$status") after $1"
  wait "$terminal"
  E2E_PROGRAM_PID= terminal=
  [[ -z $(ls -A "$runtime" | grep '^anthora-') ]] || e2e_fail "the run folder is left after $1"
}

box_of() { e2e_other_windows "$title" | head -n 1; }
find_box() { box=$(box_of || true) && [[ -n $box ]]; }
no_box() { [[ -z $(box_of || true) ]]; }

# A box that is destroyed is closed: the next question's box comes up in its place.
lose_a_box() {
  e2e_click 470 246  # English
  e2e_click 377 248  # Begin
  e2e_until find_box || e2e_fail "no message box"
  e2e_until test "$(xdotool getwindowfocus)" = "$box" || e2e_fail "the box took no focus"
  xdotool windowclose "$box"
  e2e_until no_box || e2e_fail "the destroyed box stayed"
  e2e_click 379 96   # the first answer
  e2e_click 377 248  # Next
  e2e_until find_box || e2e_fail "the quiz stopped when its box was destroyed"
}

e2e_start_xvfb
echo "without a window manager: a lost box, then SIGTERM"
launch_as_job
lose_a_box
kill -TERM "$E2E_PROGRAM_PID"
wait_for_job SIGTERM

e2e_start_window_manager
echo "under a window manager: a lost box, then the main window lost under the next box"
launch_as_job
lose_a_box
xdotool windowclose "$E2E_WINDOW"
wait_for_job "its main window was destroyed"
echo "lost window: ok"
