#!/usr/bin/env bash
# The make-quiz action seen where a teacher looks: a file manager, started under Xvfb on a fresh
# account with a staged install, shows it on a folder's right-click menu (PCManFM) or in its
# "Send To" menu (Thunar): the menu differs from the one without the install by one item, with
# its Russian name under a Russian locale, and choosing it runs the make-quiz on that folder. A
# recording program stands in for the quiz. Skipped where the file manager is absent.
# Usage: file_manager_test.sh BUILD_FOLDER pcmanfm|thunar
source "$(dirname "$0")/../e2e/lib.sh"
build=$(realpath "$1") manager=$2
case $manager in
  pcmanfm) needs=(pcmanfm /usr/lib/*/libfm/modules/gtk-menu-actions.so) title=work ;;
  thunar) needs=(thunar dbus-run-session) title="work - Thunar" ;;
  *) e2e_fail "no file manager $manager" ;;
esac
for need in "${needs[@]}"; do
  command -v "$need" >/dev/null || [[ -e $need ]] || {
    echo "SKIP: $need is not installed"
    exit 77
  }
done
# Thunar reads its own data folder whatever XDG_DATA_DIRS says: where the program is installed
# there, the menu without the staged install already holds the action.
if [[ $manager == thunar ]] && compgen -G '/usr/share/Thunar/sendto/*anthora*' >/dev/null; then
  echo "SKIP: an installed copy of the program is in Thunar's own data folder"
  exit 77
fi
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

# The folder's icon: the middle of the pixels of its colour below the tool bar, in the window.
icon_at() {  # COLOUR
  local shot=$E2E_DIR/window.png box top=70
  e2e_window_shot "$shot"
  box=$("$CONVERT" "$shot" -crop "+0+$top" +repage -fill black -fuzz 4% +opaque "$1" -format '%@' info:)
  [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[1] > 20)) || return 1
  icon_x=$((BASH_REMATCH[3] + BASH_REMATCH[1] / 2))
  icon_y=$((top + BASH_REMATCH[4] + BASH_REMATCH[2] / 2))
}
start() {  # DATA_DIRS LANGUAGE
  if [[ $manager == pcmanfm ]]; then
    XDG_DATA_DIRS=$1 LANG=$2 LANGUAGE= LC_ALL= e2e_launch "$title" pcmanfm "$HOME/work"
  else  # Thunar keeps its settings behind D-Bus
    XDG_DATA_DIRS=$1 LANG=$2 LANGUAGE= LC_ALL= e2e_launch "$title" dbus-run-session -- thunar "$HOME/work"
  fi
  origin=($(e2e_client_origin "$E2E_WINDOW"))
  if [[ $manager == pcmanfm ]]; then icon_x=205 icon_y=99; else e2e_until icon_at '#A9CFED'; fi
  "$IMPORT" -window root "$E2E_DIR/before.png"
}
# Where the menu with the action opens, from the pointer: PCManFM's own, or Thunar's "Send To".
menu_offset() { [[ $manager == pcmanfm ]] && echo 0 || echo 205; }
menu_x() { echo $((origin[0] + icon_x + $(menu_offset))); }
menu_y() { echo $((origin[1] + icon_y)); }
# Opens the menu that holds the action; the screen then goes to FILE, and the file manager keeps
# running with the menu open.
open_menu() {  # FILE DATA_DIRS LANGUAGE
  start "$2" "$3"
  xdotool mousemove --sync $((origin[0] + icon_x)) $((origin[1] + icon_y)) click 3
  menu_shown() {  # FILE X: a menu drawn from X (on the screen) to the right of the pointer
    "$IMPORT" -window root "$1"
    (($(e2e_differing_pixels "$1" "$E2E_DIR/before.png" $(($2 + 20)) $(($(menu_y) + 20)) \
      150 100) > 300))
  }
  if [[ $manager == thunar ]]; then
    e2e_until menu_shown "$1" $((origin[0] + icon_x)) || e2e_fail "no menu on the folder"
    xdotool key Down Down Down Down Down Right  # Open, ..., Open With, Send To
  fi
  e2e_until menu_shown "$1" "$(menu_x)" || e2e_fail "no menu with the action"
  sleep 0.5  # the menu's items are drawn after its frame; no event tells when
  "$IMPORT" -window root "$1"
}
close() {
  E2E_PROGRAM_PID=$(xdotool getwindowpid "$E2E_WINDOW")
  e2e_stop TERM
}
# The average colour of each row of the menu's region, one line a row.
rows() { "$CONVERT" "$1" -crop "230x420+$(menu_x)+$(menu_y)" +repage \
  -scale '1x420!' -depth 8 txt:- | tail -n +2 | awk '{ print $3 }'; }
# The first row, from the menu's top, where two menus differ.
first_difference() { { diff <(rows "$1") <(rows "$2") || true; } | sed -n 's/^\([0-9]*\)[acd,].*/\1/p' | head -n 1; }

system=$(e2e_system_data_dirs)
for language in C.UTF-8 ru_RU.UTF-8; do
  open_menu "$E2E_DIR/without-$language.png" "$system" "$language"
  close
  open_menu "$E2E_DIR/with-$language.png" "$prefix/share:$system" "$language"
  row=$(first_difference "$E2E_DIR/without-$language.png" "$E2E_DIR/with-$language.png")
  [[ -n $row ]] || e2e_fail "$language: the folder's menu shows no action of the install"
  "$CONVERT" "$E2E_DIR/with-$language.png" -crop "180x12+$(($(menu_x) + 30))+$(($(menu_y) + row - 1))" \
    +repage "$E2E_DIR/item-$language.png"
  : >"$record"
  xdotool mousemove --sync $(($(menu_x) + 60)) $(($(menu_y) + row + 4)) click 1
  e2e_until test -s "$record" || e2e_fail "$language: choosing the new item ran nothing"
  [[ $(cat "$record") == "--make-quiz|$HOME/work/Spring photos|" ]] ||
    e2e_fail "$language: the action ran the program with $(cat "$record")"
  close
done
(($(e2e_differing_pixels "$E2E_DIR/item-C.UTF-8.png" "$E2E_DIR/item-ru_RU.UTF-8.png" 0 0 180 12) > 100)) ||
  e2e_fail "the action's name is the same in Russian"
echo "file manager $manager: ok"
