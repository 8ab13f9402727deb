# Helpers for tests that run a program in a real window on a private X server.
# Source this file; it sets "set -euo pipefail" and cleans up on exit.
#   e2e_start_xvfb                        start Xvfb 1024x768x24 on a free display, set DISPLAY
#   e2e_launch TITLE PROGRAM [ARGS...]    start the program, wait for its window (one retry)
#   e2e_pixel_at X Y                      #RRGGBB of a screen pixel, from a fresh screenshot
#   e2e_wait_pixel X Y COLOUR             wait until the screen pixel has that colour
#   e2e_wait_log PATTERN                  wait until the program's output matches
#   e2e_stop SIGNAL                       signal the program, wait for it; E2E_EXIT_CODE
# Screen pixels are read with ImageMagick's own import and convert from /usr/bin.

set -euo pipefail

E2E_TIMEOUT=${E2E_TIMEOUT:-10}   # seconds for anything to happen
E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/anthora-e2e-XXXXXX")
E2E_LOG=$E2E_DIR/program.log
E2E_XVFB_PID=
E2E_PROGRAM_PID=
E2E_WINDOW=
IMPORT=/usr/bin/import
CONVERT=/usr/bin/convert

e2e_fail() {
  echo "FAIL: $*" >&2
  if [[ -s $E2E_LOG ]]; then
    echo "--- program output:" >&2
    tail -n 40 "$E2E_LOG" >&2
  fi
  exit 1
}

e2e_cleanup() {
  [[ -n $E2E_PROGRAM_PID ]] && kill -KILL "$E2E_PROGRAM_PID" 2>/dev/null || true
  [[ -n $E2E_XVFB_PID ]] && kill -TERM "$E2E_XVFB_PID" 2>/dev/null || true
  [[ -n $E2E_XVFB_PID ]] && wait "$E2E_XVFB_PID" 2>/dev/null || true
  rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

# Runs a command every 50 ms until it succeeds or E2E_TIMEOUT seconds have passed.
e2e_until() {
  local deadline=$((SECONDS + E2E_TIMEOUT))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

# Xvfb picks a free display itself and writes its number once it accepts connections.
e2e_start_xvfb() {
  local number_file=$E2E_DIR/display
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" \
    >"$E2E_DIR/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  e2e_until grep -q '[0-9]' "$number_file" || e2e_fail "Xvfb did not start"
  export DISPLAY=":$(tr -dc 0-9 <"$number_file")"
  e2e_until xdpyinfo || e2e_fail "Xvfb on $DISPLAY accepts no connections"
}

e2e_launch() {
  local title=$1
  shift
  local attempt
  for attempt in 1 2; do
    : >"$E2E_LOG"
    "$@" >>"$E2E_LOG" 2>&1 &
    E2E_PROGRAM_PID=$!
    if E2E_WINDOW=$(timeout "$E2E_TIMEOUT" xdotool search --sync --onlyvisible \
      --name "^${title}\$" 2>/dev/null | head -n 1) && [[ -n $E2E_WINDOW ]]; then
      return 0
    fi
    echo "no window titled '$title' (attempt $attempt)" >&2
    kill -KILL "$E2E_PROGRAM_PID" 2>/dev/null || true
    wait "$E2E_PROGRAM_PID" 2>/dev/null || true
    E2E_PROGRAM_PID=
  done
  e2e_fail "the program showed no window"
}

e2e_pixel_at() {
  local shot=$E2E_DIR/screen.png
  "$IMPORT" -window root "$shot"
  "$CONVERT" "$shot" -crop "1x1+$1+$2" txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1
}

e2e_pixel_is() { [[ $(e2e_pixel_at "$1" "$2") == "$3" ]]; }

e2e_wait_pixel() {
  e2e_until e2e_pixel_is "$1" "$2" "$3" ||
    e2e_fail "pixel $1,$2 is $(e2e_pixel_at "$1" "$2"), expected $3"
}

e2e_wait_log() {
  e2e_until grep -Eq "$1" "$E2E_LOG" || e2e_fail "no output matching '$1'"
}

E2E_EXIT_CODE=
e2e_stop() {
  kill "-$1" "$E2E_PROGRAM_PID"
  timeout "$E2E_TIMEOUT" tail --pid="$E2E_PROGRAM_PID" -f /dev/null ||
    e2e_fail "the program did not end after SIG$1"
  E2E_EXIT_CODE=0
  wait "$E2E_PROGRAM_PID" || E2E_EXIT_CODE=$?
  E2E_PROGRAM_PID=
}
