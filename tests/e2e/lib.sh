# Helpers for tests that run a program in a real window on a private X server.
# Source this file; it sets "set -euo pipefail" and cleans up on exit.
#   e2e_start_xvfb [OPTIONS...]           start Xvfb 1024x768x24 on a free display, set DISPLAY
#   e2e_stop_xvfb                         stop it, so that another can start
#   e2e_start_window_manager              start openbox on that display, wait until it manages
#   e2e_launch TITLE PROGRAM [ARGS...]    start the program, wait for its window (one retry)
#   e2e_other_windows TITLE               the program's other shown windows of that title, such
#                                         as its message boxes; fails when there are none
#   e2e_pixel_at X Y                      #RRGGBB of a screen pixel, from a fresh screenshot
#   e2e_wait_pixel X Y COLOUR             wait until the screen pixel has that colour
#   e2e_wait_log PATTERN                  wait until the program's output matches
#   e2e_stop SIGNAL                       signal the program, wait for it; E2E_EXIT_CODE
#   e2e_wait_exit WHAT                    wait for the program to end by itself; E2E_EXIT_CODE
#   e2e_window_shot FILE                  the program window's client area as a picture
#   e2e_count_colour FILE X Y W H COLOUR  how many pixels of a region have exactly that colour
#   e2e_count_pixels FILE X Y W H FX      how many pixels of a region meet an ImageMagick -fx
#                                         condition over r, g, b (0 to 1), e.g. "r > 0.6"
#   e2e_differing_pixels A B X Y W H [FUZZ]  how many pixels of a region differ between two
#                                         pictures (by more than FUZZ, e.g. 5%)
#   e2e_client_geometry WINDOW            "X Y WIDTH HEIGHT" of a window's client area on the screen
#   e2e_client_origin WINDOW              "X Y": the screen position of a window's client area
#   e2e_click X Y [OPTIONS...]            a left click at a point of the program window; the
#                                         options of xdotool's click, e.g. --repeat 2
#   e2e_system_data_dirs                  the system's data folders for XDG_DATA_DIRS, without
#                                         an installed copy of the program's own files
#   e2e_caption_pixels FILE N FX          how many pixels of the caption of the quiz's answer
#                                         button N (1 to 4) in a window shot meet a condition;
#                                         E2E_INK, E2E_LIME, E2E_RED and E2E_GREEN are the
#                                         conditions for its text colours
# A failing test copies its screenshots and files to E2E_ARTIFACTS when that is set.
# Screen pixels are read with ImageMagick's own import, convert and compare from /usr/bin.

set -euo pipefail

E2E_TIMEOUT=${E2E_TIMEOUT:-10}   # seconds for anything to happen
E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/anthora-e2e-XXXXXX")
E2E_LOG=$E2E_DIR/program.log
E2E_XVFB_PID=
E2E_WM_PID=
E2E_PROGRAM_PID=
E2E_WINDOW=
# In sanitizer builds, leaks inside system libraries the program cannot free are not ours.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp:print_suppressions=0}
# The desktop's scale settings would change the windows' sizes; tests set them themselves.
unset ANTHORA_SCALE GDK_SCALE
IMPORT=/usr/bin/import
CONVERT=/usr/bin/convert
COMPARE=/usr/bin/compare

e2e_fail() {
  echo "FAIL: $*" >&2
  if [[ -s $E2E_LOG ]]; then
    echo "--- program output:" >&2
    tail -n 40 "$E2E_LOG" >&2
  fi
  if [[ -n ${E2E_ARTIFACTS:-} ]]; then
    mkdir -p "$E2E_ARTIFACTS" && cp -r "$E2E_DIR"/. "$E2E_ARTIFACTS"/
    echo "screenshots and files kept in $E2E_ARTIFACTS" >&2
  fi
  exit 1
}

e2e_cleanup() {
  [[ -n $E2E_PROGRAM_PID ]] && kill -KILL "$E2E_PROGRAM_PID" 2>/dev/null || true
  [[ -n $E2E_WM_PID ]] && kill -TERM "$E2E_WM_PID" 2>/dev/null || true
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
  rm -f "$number_file"  # a number of an earlier server
  # -noreset: the server keeps running as it is between clients, so a program started just
  # after another one ended never meets a server that is resetting.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset "$@" 3>"$number_file" \
    >"$E2E_DIR/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  e2e_until grep -q '[0-9]' "$number_file" || e2e_fail "Xvfb did not start"
  export DISPLAY=":$(tr -dc 0-9 <"$number_file")"
  e2e_until xdpyinfo || e2e_fail "Xvfb on $DISPLAY accepts no connections"
}

e2e_stop_xvfb() {
  kill -TERM "$E2E_XVFB_PID"
  wait "$E2E_XVFB_PID" 2>/dev/null || true
  E2E_XVFB_PID=
}

# openbox runs its start-up command once it manages the screen; it reads no settings of the
# user's and writes nothing in their home.
e2e_start_window_manager() {
  local ready=$E2E_DIR/window-manager-ready
  XDG_CONFIG_HOME=$E2E_DIR/openbox XDG_CACHE_HOME=$E2E_DIR/openbox \
    openbox --sm-disable --startup "touch $ready" >"$E2E_DIR/openbox.log" 2>&1 &
  E2E_WM_PID=$!
  e2e_until test -e "$ready" || e2e_fail "openbox did not start"
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
    kill -0 "$E2E_PROGRAM_PID" 2>/dev/null || echo "the program had ended" >&2
    tail -n 20 "$E2E_LOG" >&2
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
e2e_wait_exit() {
  timeout "$E2E_TIMEOUT" tail --pid="$E2E_PROGRAM_PID" -f /dev/null ||
    e2e_fail "the program did not end after $1"
  E2E_EXIT_CODE=0
  wait "$E2E_PROGRAM_PID" || E2E_EXIT_CODE=$?
  E2E_PROGRAM_PID=
}

e2e_stop() {
  kill "-$1" "$E2E_PROGRAM_PID"
  e2e_wait_exit "SIG$1"
}

e2e_window_shot() { "$IMPORT" -window "$E2E_WINDOW" "$1"; }

e2e_count_colour() {
  "$CONVERT" "$1" -crop "$4x$5+$2+$3" +repage txt:- | grep -c " $6 " || true
}

e2e_count_pixels() {
  "$CONVERT" "$1" -crop "$4x$5+$2+$3" +repage -fx "$6 ? 1 : 0" \
    -format '%[fx:round(mean * w * h)]' info:
}

e2e_differing_pixels() {
  local region="$5x$6+$3+$4"
  "$CONVERT" "$1" -crop "$region" +repage "$E2E_DIR/region-a.png"
  "$CONVERT" "$2" -crop "$region" +repage "$E2E_DIR/region-b.png"
  "$COMPARE" -metric AE -fuzz "${7:-0}" "$E2E_DIR/region-a.png" "$E2E_DIR/region-b.png" \
    null: 2>&1 || true
}

e2e_other_windows() {
  xdotool search --onlyvisible --name "^${1}\$" | grep -vx "$E2E_WINDOW"
}

# The screen position and size of a window's client area. xwininfo, unlike xdotool, gets the
# position right for a window that a window manager has put into a frame.
e2e_client_geometry() {  # WINDOW: prints "X Y WIDTH HEIGHT"
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}
e2e_client_origin() {  # WINDOW: prints "X Y"
  local geometry
  geometry=($(e2e_client_geometry "$1"))
  echo "${geometry[0]} ${geometry[1]}"
}

e2e_click() {
  local origin
  origin=($(e2e_client_origin "$E2E_WINDOW"))
  xdotool mousemove --sync $((origin[0] + $1)) $((origin[1] + $2)) click "${@:3}" 1
}

E2E_ANSWER_TOPS=(81 118 155 192)
E2E_INK='intensity < 0.4'
E2E_LIME='g > 0.6 && r < 0.35 && b < 0.35'
E2E_RED='r > 0.6 && g < 0.35 && b < 0.35'
E2E_GREEN='g > 0.3 && g < 0.6 && r < 0.2 && b < 0.2'
e2e_caption_pixels() {
  e2e_count_pixels "$1" 268 $((E2E_ANSWER_TOPS[$2 - 1] + 6)) 222 18 "$3"
}

# The system's data folders (/usr/local/share, /usr/share) as a machine without the program
# has them, for XDG_DATA_DIRS: mirrored by links, with every file of an installed copy (a name
# that holds "anthora") left out and the desktop's table of programs by type made again without
# them, so that a test sees only the build's own entries, actions and catalogues.
e2e_system_data_dirs() {
  local mirrors=() dir mirror path
  for dir in /usr/local/share /usr/share; do
    [[ -d $dir ]] || continue
    mirror=$E2E_DIR/system-data${dir//\//-}
    if [[ ! -d $mirror ]]; then
      # The installed files and the folders above them, up to the data folder.
      local -A left_out=() above=()
      while IFS= read -r path; do
        left_out[$path]=1
        path=${path%/*}
        while ((${#path} > ${#dir})); do
          above[$path]=1
          path=${path%/*}
        done
      done < <(find "$dir" -maxdepth 5 -name '*anthora*' -prune 2>/dev/null)
      above[$dir]=1
      e2e_mirror "$dir" "$mirror"
      if ((${#left_out[@]} > 0)) && [[ -d $mirror/applications && ! -L $mirror/applications ]]; then
        rm -f "$mirror/applications/mimeinfo.cache"
        update-desktop-database "$mirror/applications" >/dev/null 2>&1 || true
      fi
    fi
    mirrors+=("$mirror")
  done
  local IFS=:
  echo "${mirrors[*]}"
}
e2e_mirror() {  # FOLDER MIRROR: links to its entries; left_out and above as e2e_system_data_dirs
  local path
  mkdir -p "$2"
  ln -s "$1"/* "$2"/ 2>/dev/null || true
  for path in "${!left_out[@]}" "${!above[@]}"; do
    [[ ${path%/*} == "$1" ]] || continue
    rm -f "$2/${path##*/}"
    [[ -z ${above[$path]:-} ]] || e2e_mirror "$path" "$2/${path##*/}"
  done
}
