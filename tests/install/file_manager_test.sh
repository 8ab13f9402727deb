#!/usr/bin/env bash
# The make-quiz action seen where a teacher looks: PCManFM, started under Xvfb on a fresh account
# with a staged install, shows it on a folder's right-click menu (the menu differs from the one
# without the install by one item), with its Russian name under a Russian locale, and choosing
# it runs the make-quiz on that folder. A recording program stands in for the quiz. Skipped
# where PCManFM or libfm's module for actions is absent.
# Usage: file_manager_test.sh BUILD_FOLDER
source "$(dirname "$0")/../e2e/lib.sh"
build=$(realpath "$1")
command -v pcmanfm >/dev/null && compgen -G "/usr/lib/*/libfm/modules/gtk-menu-actions.so" >/dev/null || {
  echo "SKIP: PCManFM or libfm-modules is not installed"
  exit 77
}
prefix="$E2E_DIR/staged prefix"
cmake --install "$build" --prefix "$prefix" >"$E2E_DIR/install.log" || e2e_fail "install failed"
record=$E2E_DIR/arguments
printf '#!/bin/sh\n{ printf "%%s|" "$@"; echo; } >>"%s"\n' "$record" >"$prefix/bin/anthora"
chmod +x "$prefix/bin/anthora"

export HOME=$E2E_DIR/home XDG_CONFIG_HOME=$E2E_DIR/home/.config \
  XDG_DATA_HOME=$E2E_DIR/home/.local/share XDG_CACHE_HOME=$E2E_DIR/home/.cache \
  XDG_RUNTIME_DIR=$E2E_DIR/runtime PATH="$prefix/bin:$PATH"
unset XDG_CURRENT_DESKTOP
mkdir -p "$HOME/work/Spring photos" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
e2e_start_xvfb
e2e_start_window_manager

# The menu's place: a right click on the first icon of the folder's view.
icon_x=205 icon_y=99
menu_region() { echo "230 420 $((origin[0] + icon_x)) $((origin[1] + icon_y))"; }
# Opens the folder's menu in PCManFM with the given data folders and language; the screen then
# goes to FILE, and PCManFM keeps running with the menu open.
open_menu() {  # FILE DATA_DIRS LANGUAGE
  XDG_DATA_DIRS=$2 LANG=$3 LANGUAGE= LC_ALL= e2e_launch work pcmanfm "$HOME/work"
  origin=($(e2e_client_origin "$E2E_WINDOW"))
  "$IMPORT" -window root "$E2E_DIR/before.png"
  xdotool mousemove --sync $((origin[0] + icon_x)) $((origin[1] + icon_y)) click 3
  menu_shown() {
    "$IMPORT" -window root "$1"
    (($(e2e_differing_pixels "$1" "$E2E_DIR/before.png" $((origin[0] + icon_x + 20)) \
      $((origin[1] + icon_y + 20)) 150 200) > 10000))
  }
  e2e_until menu_shown "$1" || e2e_fail "no menu on the folder"
  sleep 0.5  # the menu's items are drawn after its frame; no event tells when
  "$IMPORT" -window root "$1"
}
close() { e2e_stop TERM; }
# The average colour of each row of the menu's region, one line a row.
rows() { "$CONVERT" "$1" -crop "230x420+$((origin[0] + icon_x))+$((origin[1] + icon_y))" +repage \
  -scale '1x420!' -depth 8 txt:- | tail -n +2 | awk '{ print $3 }'; }
# The first row, from the menu's top, where two menus differ.
first_difference() { { diff <(rows "$1") <(rows "$2") || true; } | sed -n 's/^\([0-9]*\)[acd,].*/\1/p' | head -n 1; }

system=/usr/local/share:/usr/share
for language in C.UTF-8 ru_RU.UTF-8; do
  open_menu "$E2E_DIR/without-$language.png" "$system" "$language"
  close
  open_menu "$E2E_DIR/with-$language.png" "$prefix/share:$system" "$language"
  row=$(first_difference "$E2E_DIR/without-$language.png" "$E2E_DIR/with-$language.png")
  [[ -n $row ]] || e2e_fail "$language: the folder's menu shows no action of the install"
  "$CONVERT" "$E2E_DIR/with-$language.png" -crop "180x12+$((origin[0] + icon_x + 30))+$((origin[1] + icon_y + row - 1))" \
    +repage "$E2E_DIR/item-$language.png"
  : >"$record"
  xdotool mousemove --sync $((origin[0] + icon_x + 60)) $((origin[1] + icon_y + row + 4)) click 1
  e2e_until test -s "$record" || e2e_fail "$language: choosing the new item ran nothing"
  [[ $(cat "$record") == "--make-quiz|$HOME/work/Spring photos|" ]] ||
    e2e_fail "$language: the action ran the program with $(cat "$record")"
  close
done
(($(e2e_differing_pixels "$E2E_DIR/item-C.UTF-8.png" "$E2E_DIR/item-ru_RU.UTF-8.png" 0 0 180 12) > 100)) ||
  e2e_fail "the action's name is the same in Russian"
echo "file manager: ok"
