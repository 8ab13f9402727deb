#!/usr/bin/env bash
# Started from the desktop with no font to draw text with, the program shows no window of its
# own: it tells why in the desktop's simple error box and ends with status 1 once the box is
# closed.
# Usage: no_font_test.sh ANTHORA CLOSE_REQUEST
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1") close_request=$(realpath "$2")
mkdir "$E2E_DIR/no-fonts"
export ANTHORA_FONT_FOLDERS=$E2E_DIR/no-fonts XDG_CACHE_HOME=$E2E_DIR/cache

e2e_start_xvfb
"$anthora" >"$E2E_LOG" 2>&1 &  # its output goes to a file, as from the desktop
E2E_PROGRAM_PID=$!
# SDL names its box in a way xdotool cannot read; xwininfo can.
box() { xwininfo -root -children | grep -o '0x[0-9a-f]* "Anthora 1\.0": ([^)]*) *[0-9]*x[0-9]*'; }
e2e_until box || e2e_fail "no box was shown"
[[ $(box) != *" 509x268" ]] || e2e_fail "the quiz window was shown: $(box)"
E2E_WINDOW=$(box | cut -d' ' -f1)
e2e_wait_log "^anthora: no font to draw text with: "
kill -0 "$E2E_PROGRAM_PID" || e2e_fail "the program ended before its box was closed"
"$close_request" "$E2E_WINDOW" || e2e_fail "the close request could not be sent"
e2e_wait_exit "its box was closed"
[[ $E2E_EXIT_CODE == 1 ]] || e2e_fail "exit code $E2E_EXIT_CODE without fonts"
echo "no font: ok"
