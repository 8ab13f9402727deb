#!/usr/bin/env bash
# The window's first contents on the screen are its finished first frame: every grab of the
# whole window from the moment it is mapped equals the headless drawing of the start screen,
# never black or partly drawn; at the normal size, doubled, and under a window manager.
# Usage: first_frame_test.sh ANTHORA ANTHORA_DRIVE FIRST_FRAME SAMPLE_FOLDER
source "$(dirname "$0")/lib.sh"
anthora=$(realpath "$1") drive=$(realpath "$2") first_frame=$(realpath "$3") sample=$(realpath "$4")
cd "$sample"
echo "shot $E2E_DIR/start.png" | "$drive" >/dev/null || e2e_fail "the driver could not draw"
"$CONVERT" "$E2E_DIR/start.png" -depth 8 "$E2E_DIR/start.ppm"

# One start, watched; a start that showed no window is tried once more.
watch_start() {  # SCALE
  local attempt
  for attempt in 1 2; do
    if "$first_frame" --expect "$E2E_DIR/start.ppm" --scale "$1" --strict \
      --keep "$E2E_DIR/incomplete-$1.ppm" "$anthora" --scale "$1" >"$E2E_DIR/watch.log" 2>&1; then
      cat "$E2E_DIR/watch.log"
      return 0
    fi
    grep -q 'showed no window' "$E2E_DIR/watch.log" || break
  done
  cat "$E2E_DIR/watch.log" >&2
  e2e_fail "at scale $1 the window was shown before its first frame was finished"
}

e2e_start_xvfb
xdotool mousemove --sync 0 0  # no control under the pointer
echo "on a bare X server"
watch_start 1
watch_start 2
echo "under a window manager"
e2e_start_window_manager
watch_start 1
