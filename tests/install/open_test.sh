#!/usr/bin/env bash
# A set file on a desktop, in a staged install with its own data folders: the desktop's tools
# give it its type, by name and by content, and the program as its handler; a double click
# (gio open, xdg-open) shows the first question of that set, which is then played to its end;
# its private folder is gone after a close, SIGTERM, SIGHUP and a lost display; a broken set
# file is named in an error box.
# Usage: open_test.sh BUILD_FOLDER CLOSE_REQUEST
source "$(dirname "$0")/../e2e/lib.sh"
build=$(realpath "$1") close_request=$(realpath "$2")
prefix=$E2E_DIR/prefix
type=application/x-anthora-set

cmake --install "$build" --prefix "$prefix" >"$E2E_DIR/install.log" || e2e_fail "install failed"
export HOME=$E2E_DIR/home XDG_DATA_HOME=$prefix/share XDG_DATA_DIRS=$(e2e_system_data_dirs) \
  XDG_CONFIG_HOME=$E2E_DIR/config XDG_RUNTIME_DIR=$E2E_DIR/runtime XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
update-mime-database "$XDG_DATA_HOME/mime" || e2e_fail "update-mime-database failed"
update-desktop-database "$XDG_DATA_HOME/applications" || e2e_fail "update-desktop-database failed"

# A teacher's set of two magenta photos, built into a file by the installed program.
cd "$HOME"
mkdir source
convert -size 300x300 xc:magenta source/one.jpg
convert -size 300x300 xc:magenta source/two.jpg
printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\none.jpg\tA\tB\tC\tD\ntwo.jpg\tE\tF\tG\tH\n' \
  >source/questions.tsv
"$prefix/bin/anthora" --build-set source roses.anthora >"$E2E_DIR/build.log" ||
  e2e_fail "the build: $(cat "$E2E_DIR/build.log")"
cp roses.anthora "roses without a name"

for file in roses.anthora "roses without a name"; do
  [[ $(xdg-mime query filetype "$file") == "$type" ]] ||
    e2e_fail "'$file' is of type $(xdg-mime query filetype "$file")"
done
[[ $(xdg-mime query default $type) == org.example.anthora.desktop ]] ||
  e2e_fail "the handler of $type is '$(xdg-mime query default $type)'"

e2e_start_xvfb
shot=$E2E_DIR/shot.png
photo() { e2e_window_shot "$shot" && e2e_count_pixels "$shot" 15 31 230 230 'r > 0.8 && g < 0.2 && b > 0.8'; }
photo_shown() { (($(photo) > 40000)); }
photo_gone() { (($(photo) == 0)); }
run_folders() { ls -A "$XDG_RUNTIME_DIR" | grep -c '^anthora-set-' || true; }

# The opener starts the program and returns; the program is found by its window.
open_with() {  # OPENER...
  e2e_launch "Anthora 1.0" "$@" roses.anthora
  E2E_PROGRAM_PID=$(xdotool getwindowpid "$E2E_WINDOW")
  [[ $(run_folders) == 1 ]] || e2e_fail "$1: $(run_folders) private folders while playing"
  e2e_click 479 246  # EN
  e2e_click 377 248  # Begin
  e2e_until photo_shown || e2e_fail "$1: the first question of the set file was not shown"
}

echo "gio open, played to its end, closed"
open_with gio open
class=$(sed -n 's/^StartupWMClass=//p' "$XDG_DATA_HOME/applications/org.example.anthora.desktop")
[[ $(xprop -id "$E2E_WINDOW" WM_CLASS) == *\""$class"\" ]] ||
  e2e_fail "the window's $(xprop -id "$E2E_WINDOW" WM_CLASS), the entry's class '$class'"
for question in 1 2; do
  e2e_click 379 96  # the first answer
  e2e_click 377 248  # the next question, then the grade
done
e2e_until photo_gone || e2e_fail "the set was not played to its end"
"$close_request" "$E2E_WINDOW" || e2e_fail "the close request could not be sent"
e2e_wait_exit "a close request"
[[ $(run_folders) == 0 ]] || e2e_fail "the private folder stayed after a close"

echo "xdg-open, then SIGTERM"
open_with xdg-open
e2e_stop TERM
[[ $(run_folders) == 0 ]] || e2e_fail "the private folder stayed after SIGTERM"
echo "gio open, then its terminal closed"
open_with gio open
e2e_stop HUP
[[ $(run_folders) == 0 ]] || e2e_fail "the private folder stayed after SIGHUP"
echo "a refused set file, shown in an error box"
printf 'not a zip\n' >broken.anthora
e2e_launch "Anthora 1.0" gio open broken.anthora
E2E_PROGRAM_PID=$(xdotool getwindowpid "$E2E_WINDOW")
xdotool key --window "$E2E_WINDOW" Return 2>/dev/null || true  # the box may go before the key's release
e2e_wait_exit "OK in the error box"
[[ $(run_folders) == 0 ]] || e2e_fail "the refused set file left its private folder"
echo "gio open, then the display lost"
open_with gio open
e2e_stop_xvfb
e2e_wait_exit "the display's end"
[[ $(run_folders) == 0 ]] || e2e_fail "the private folder stayed after the display went"
echo "open: ok"
