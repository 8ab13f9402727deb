#!/usr/bin/env bash
# A staged install, whose prefix holds a blank, on fresh accounts of every common desktop: it
# changes no default (what opens a folder stays what it was), and every Exec line of its entries
# runs through Debian's xdg-open without a desktop and through GIO, for a set file and a folder,
# with the arguments it names. A recording program stands in for the quiz.
# Usage: desktop_defaults_test.sh BUILD_FOLDER
source "$(dirname "$0")/../e2e/lib.sh"
build=$(realpath "$1")
prefix="$E2E_DIR/staged prefix"
id=org.example.anthora

cmake --install "$build" --prefix "$prefix" >"$E2E_DIR/install.log" || e2e_fail "install failed"
share=$prefix/share
# As a package's triggers do.
update-mime-database "$share/mime" || e2e_fail "update-mime-database failed"
update-desktop-database "$share/applications" >/dev/null 2>&1 ||
  e2e_fail "update-desktop-database failed"

# A fresh account: its own home and XDG folders, the staged data before the system's.
fresh_account() {  # NAME
  export HOME=$E2E_DIR/$1 XDG_CONFIG_HOME=$E2E_DIR/$1/.config XDG_DATA_HOME=$E2E_DIR/$1/.local/share \
    XDG_CACHE_HOME=$E2E_DIR/$1/.cache XDG_RUNTIME_DIR=$E2E_DIR/$1/runtime \
    XDG_DATA_DIRS="$share:$(e2e_system_data_dirs)" XDG_CONFIG_DIRS=/etc/xdg
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
}
unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION GNOME_DESKTOP_SESSION_ID \
  KDE_FULL_SESSION KDE_SESSION_VERSION MATE_DESKTOP_SESSION_ID

echo "what opens a folder, by desktop (gio | xdg-mime):"
for desktop in '' GNOME XFCE LXDE KDE X-Cinnamon MATE; do
  fresh_account "account-${desktop:-none}"
  if [[ -n $desktop ]]; then export XDG_CURRENT_DESKTOP=$desktop; else unset XDG_CURRENT_DESKTOP; fi
  gio_default=$(gio mime inode/directory 2>&1 | sed -n '1p')
  gio_all=$(gio mime inode/directory 2>&1 || true)
  xdg_default=$(xdg-mime query default inode/directory 2>&1 || true)
  printf '  %-11s | %s | %s\n' "${desktop:-(unset)}" "$gio_default" "${xdg_default:-(none)}"
  [[ $gio_all != *"$id"* ]] || e2e_fail "${desktop:-no desktop}: gio offers Anthora for folders: $gio_all"
  [[ $xdg_default != *"$id"* ]] || e2e_fail "${desktop:-no desktop}: xdg-mime names $xdg_default"
done
unset XDG_CURRENT_DESKTOP

# xdg-open hands files to a program only where there is a display.
e2e_start_xvfb
# The quiz replaced by a program that records its arguments and folder, one line each.
fresh_account routes
record=$E2E_DIR/arguments
printf '#!/bin/sh\n{ printf "%%s|" "$@"; echo; } >>"%s"\n' "$record" >"$prefix/bin/anthora"
chmod +x "$prefix/bin/anthora"
export PATH="$prefix/bin:$PATH"
recorded() {  # EXPECTED: the last recorded arguments, each followed by |
  e2e_until test -s "$record" || return 1
  [[ $(tail -n 1 "$record") == "$1" ]]
}
expect() {  # WHAT EXPECTED
  e2e_until recorded "$2" || e2e_fail "$1 ran the program with '$(tail -n 1 "$record" 2>/dev/null)', not '$2'"
  : >"$record"
}
cd "$HOME"
mkdir "my sets" "photo folder"
printf 'PK\003\004' >"my sets/roses & co.anthora"
set_file="$HOME/my sets/roses & co.anthora"
sample="--default-set|../share/anthora/sample|"

xdg-open "$set_file" >"$E2E_DIR/open.log" 2>&1 || e2e_fail "xdg-open: $(cat "$E2E_DIR/open.log")"
expect "xdg-open of a set file" "$sample$set_file|"
gio open "$set_file" >"$E2E_DIR/open.log" 2>&1 || e2e_fail "gio open: $(cat "$E2E_DIR/open.log")"
expect "gio open of a set file" "$sample$set_file|"
gio launch "$share/applications/$id.desktop" "$HOME/photo folder" >"$E2E_DIR/open.log" 2>&1 ||
  e2e_fail "gio launch: $(cat "$E2E_DIR/open.log")"
expect "the quiz's entry given a folder" "$sample$HOME/photo folder|"
gio launch "$share/applications/$id.make-quiz.desktop" "$HOME/photo folder" >"$E2E_DIR/open.log" 2>&1 ||
  e2e_fail "gio launch: $(cat "$E2E_DIR/open.log")"
expect "the make-quiz entry given a folder" "--make-quiz|$HOME/photo folder|"
# A folder opened without a desktop goes to the file manager, where there is one; never to
# the quiz. xdg-open waits for the program it starts.
manager=$(xdg-mime query default inode/directory || true)
for opener in xdg-open "gio open"; do
  $opener "$HOME/photo folder" >/dev/null 2>&1 &
  opener_pid=$!
  if [[ -n $manager ]]; then
    e2e_until xdotool search --onlyvisible --name "photo folder" ||
      e2e_fail "$opener showed the folder in no window of $manager"
    window=$(xdotool search --onlyvisible --name "photo folder" | head -n 1)
    kill "$(xdotool getwindowpid "$window")"
    e2e_until sh -c "! xdotool search --onlyvisible --name 'photo folder'" ||
      e2e_fail "$manager did not close"
  else
    wait "$opener_pid" || true
  fi
  kill "$opener_pid" 2>/dev/null || true
  wait "$opener_pid" 2>/dev/null || true
  [[ ! -s $record ]] || e2e_fail "$opener of a folder ran the program: $(cat "$record")"
done

# Each Exec line split as the desktop entry format says, as a launcher or file manager runs it.
exec_words() {  # FILE GROUP: the line's words, without its field code, into "words"
  local line
  line=$(sed -n "/^\[$2\]/,/^\[/s/^Exec=//p" "$1")
  [[ -n $line ]] || e2e_fail "$1 has no Exec line in [$2]"
  eval "words=(${line% %[fF]})"
}
folder="$HOME/photo folder"
exec_words "$share/applications/$id.desktop" "Desktop Action projector"
"${words[@]}"
expect "the projector action" "--scale|max|$sample"
for action in "file-manager/actions/$id.make-quiz.desktop|X-Action-Profile folder" \
  "nemo/actions/$id.make-quiz.nemo_action|Nemo Action" \
  "kio/servicemenus/$id.make-quiz.desktop|Desktop Action makeQuiz" \
  "Thunar/sendto/$id.make-quiz.desktop|Desktop Entry"; do
  file=$share/${action%%|*}
  grep -Eq '^Exec=.* --make-quiz %[fF]$' "$file" || e2e_fail "$file runs $(grep ^Exec= "$file")"
  exec_words "$file" "${action#*|}"
  "${words[@]}" "$folder"
  expect "$file" "--make-quiz|$folder|"
done
echo "desktop defaults: ok"
