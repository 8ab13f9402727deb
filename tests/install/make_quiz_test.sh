#!/usr/bin/env bash
# A teacher without a terminal, in a staged install with its own data folders: the entry of
# "Make an Anthora quiz" claims no folders; run on a folder as a file manager's action runs it,
# a folder of photos gets the sheet that --new-sheet writes, opened with the desktop's program
# for it once its box is read; filled in, the set file and the preview appear beside the
# folder, stay in a file monitor's view, and a box offers to play the set, open the preview or
# print a worksheet beside it; a sheet open in a spreadsheet program is built only when she
# chooses its saved form; a sheet with problems shows them, opens the preview and replaces no
# set file, nor a picture of hers by the preview's name; a cancelled build leaves nothing;
# every box names its folder; under a Russian locale the entry and the boxes are Russian; a
# folder holding a flashcard deck and no sheet is built from the deck.
# Usage: make_quiz_test.sh BUILD_FOLDER
source "$(dirname "$0")/../e2e/lib.sh"
build=$(realpath "$1")
prefix=$E2E_DIR/prefix
id=org.example.anthora.make-quiz
title="Make an Anthora quiz"

cmake --install "$build" --prefix "$prefix" >"$E2E_DIR/install.log" || e2e_fail "install failed"
export HOME=$E2E_DIR/home XDG_DATA_HOME=$prefix/share XDG_DATA_DIRS=$(e2e_system_data_dirs) \
  XDG_CONFIG_HOME=$E2E_DIR/config XDG_RUNTIME_DIR=$E2E_DIR/runtime XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
entry=$XDG_DATA_HOME/applications/$id.desktop
update-desktop-database "$XDG_DATA_HOME/applications" || e2e_fail "update-desktop-database failed"
desktop-file-validate "$entry" >"$E2E_DIR/validate.log" 2>&1 &&
  ! grep -Eq 'error|warning' "$E2E_DIR/validate.log" ||
  e2e_fail "desktop-file-validate: $(cat "$E2E_DIR/validate.log")"
gio mime inode/directory >"$E2E_DIR/mime.log" 2>&1 || true
! grep -q "$id.desktop" "$E2E_DIR/mime.log" || e2e_fail "the entry claims folders: $(cat "$E2E_DIR/mime.log")"
grep -qx 'NoDisplay=true' "$entry" || e2e_fail "the entry shows in the menu"
grep -qx 'Name\[ru\]=Сделать викторину Anthora' "$entry" || e2e_fail "the entry has no Russian name"
for size in 48 128 256; do
  [[ -s $prefix/share/icons/hicolor/${size}x$size/apps/$id.png ]] || e2e_fail "no $size icon"
done

# The desktop's opener, standing in: it records what it was asked to open.
mkdir -p "$E2E_DIR/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$E2E_DIR/opened" >"$E2E_DIR/bin/xdg-open"
chmod +x "$E2E_DIR/bin/xdg-open"
export PATH=$E2E_DIR/bin:$PATH
opened() { [[ -s $E2E_DIR/opened ]] && tail -n 1 "$E2E_DIR/opened"; }

cd "$HOME"
folder="$HOME/Spring flowers"
mkdir "$folder" reference
for photo in tulip rose daisy; do convert -size 400x300 "xc:#C03080" "$folder/$photo.jpg"; done
cp "$folder"/*.jpg reference/

e2e_start_xvfb
e2e_start_window_manager
shot=$E2E_DIR/box.png

# Opens the folder with the entry's command, as a file manager does, and waits for the box.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[[ $exec_line == "$prefix/bin/anthora --make-quiz %f" ]] || e2e_fail "the entry runs $exec_line"
# Every box is titled with the command's name and the folder's.
open_folder() {  # [TITLE]
  e2e_launch "${1:-$title: $(basename "$folder")}" "$prefix/bin/anthora" --make-quiz "$folder"
}
# A key pressed and released through the server, on the box: a key sent to the window alone
# would stay down for the server once the box went with its press.
key() {  # KEY
  xdotool windowfocus --sync "$E2E_WINDOW" 2>/dev/null || true
  xdotool key "$1"
}
press() {  # KEY: a key in the box, which then goes
  key "$1"
  e2e_wait_exit "$1 in the box"
}

echo "a folder of photos, opened with the entry: the sheet, opened, and a box"
e2e_launch "$title: Spring flowers" gio launch "$entry" "$folder"
E2E_PROGRAM_PID=$(xdotool getwindowpid "$E2E_WINDOW")
"$prefix/bin/anthora" --new-sheet reference >/dev/null || e2e_fail "--new-sheet failed"
sheet=$(cd reference && ls questions.*)
[[ -s $folder/$sheet ]] || e2e_fail "no $sheet in the folder: $(ls "$folder")"
cmp -s "$folder/$sheet" "reference/$sheet" || [[ $sheet != *.tsv ]] ||
  e2e_fail "the sheet differs from the one --new-sheet writes"
# The box is read before the spreadsheet program opens over it.
[[ ! -s $E2E_DIR/opened ]] || e2e_fail "the sheet opened before its box was read"
import -window "$E2E_WINDOW" "$shot"
press Return
e2e_until opened || e2e_fail "the sheet was not opened"
[[ $(opened) == "$folder/$sheet" ]] || e2e_fail "the opener was given '$(opened)'"
[[ ! -e "$folder.anthora" ]] || e2e_fail "a set file before the sheet was filled in"

echo "the sheet filled in: the set file, the preview, and Play it now"
rm "$folder/$sheet"
printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n' >"$folder/questions.tsv"
printf '%s.jpg\t%s\tA\tB\tC\n' tulip Tulip rose Rose daisy Daisy >>"$folder/questions.tsv"
: >"$E2E_DIR/opened"
open_folder
[[ -s $folder.anthora && -s $folder-preview.png ]] || e2e_fail "no set file or preview: $(ls)"
[[ $(unzip -Z1 "$folder.anthora") == *ris/fen.ani* ]] || e2e_fail "the set file holds no set"
[[ ! -s $E2E_DIR/opened ]] || e2e_fail "a good set opened '$(opened)'"
press Escape  # No
[[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "a good set ended with status $E2E_EXIT_CODE"

echo "a rebuild leaves the set file and its preview in a file monitor's view"
# A file manager's view follows the monitor's events: the last one about a name says whether
# it is shown.
in_view() {  # FILE
  local last
  last=$(grep -E -- "(: $1: |renamed to $1\$)" "$E2E_DIR/monitor.log" | tail -n 1)
  [[ -n $last && $last != *": moved out" && $last != *": deleted" &&
    $last != *"$1: renamed to"* ]]
}
# Events about a probe file show that the monitor watches, then that it has told everything.
probe() {  # NAME
  touch "$HOME/$1"
  grep -q -- "$HOME/$1" "$E2E_DIR/monitor.log"
}
gio monitor "$HOME" >"$E2E_DIR/monitor.log" 2>&1 &
monitor=$!
e2e_until probe .probe-start || e2e_fail "gio monitor reports nothing"
open_folder
press Escape
e2e_until probe .probe-end || e2e_fail "gio monitor stopped reporting"
kill "$monitor"
wait "$monitor" 2>/dev/null || true
rm "$HOME/.probe-start" "$HOME/.probe-end"
for file in "$folder.anthora" "$folder-preview.png"; do
  in_view "$file" || e2e_fail "$file dropped from view: $(grep -F -- "$file" "$E2E_DIR/monitor.log")"
done
open_folder
key Return  # Yes
quiz=$(timeout "$E2E_TIMEOUT" xdotool search --sync --onlyvisible --name '^Anthora 1\.0$' | head -n 1) ||
  e2e_fail "Yes started no quiz"
E2E_PROGRAM_PID=$(xdotool getwindowpid "$quiz")
tr '\0' ' ' <"/proc/$E2E_PROGRAM_PID/cmdline" | grep -qF "$folder.anthora" ||
  e2e_fail "the quiz plays $(tr '\0' ' ' <"/proc/$E2E_PROGRAM_PID/cmdline")"
e2e_stop TERM
good=$(sha256sum <"$folder.anthora")

echo "the ready box opens the preview"
: >"$E2E_DIR/opened"
open_folder
key Tab
press Return  # Open the preview
[[ $E2E_EXIT_CODE == 0 && $(opened) == "$folder-preview.png" ]] ||
  e2e_fail "the preview's choice ended with $E2E_EXIT_CODE and opened '$(opened)'"

echo "the ready box prints a worksheet"
open_folder
key Tab
key Tab
press Return  # Print a worksheet
[[ $E2E_EXIT_CODE == 0 && $(opened) == "$folder-worksheet.pdf" ]] ||
  e2e_fail "the worksheet's choice ended with $E2E_EXIT_CODE and opened '$(opened)'"
[[ $(pdftotext "$folder-worksheet.pdf" -) == *'Answer key'* ]] || e2e_fail "no answer key in the worksheet"

echo "a sheet open in a spreadsheet program: saved and closed first, or built as saved"
lock="$folder/.~lock.questions.tsv#"
echo "teacher,host" >"$lock"
"$prefix/bin/anthora" --build-set "$folder" "$E2E_DIR/warned.anthora" >/dev/null 2>"$E2E_DIR/err" ||
  e2e_fail "--build-set with the sheet open failed: $(cat "$E2E_DIR/err")"
grep -q "questions.tsv: warning: the sheet is open in a spreadsheet program" "$E2E_DIR/err" ||
  e2e_fail "--build-set said nothing of the open sheet: $(cat "$E2E_DIR/err")"
touch -d '2000-01-01' "$folder.anthora"
open_folder
press Escape  # Cancel
[[ $E2E_EXIT_CODE == 1 ]] || e2e_fail "a cancelled open sheet ended with status $E2E_EXIT_CODE"
[[ $(stat -c %Y "$folder.anthora") == $(date -d '2000-01-01' +%s) ]] ||
  e2e_fail "the set file was made although she chose to save the sheet first"
open_folder
asked=$E2E_WINDOW
key Return  # Use the saved sheet
E2E_WINDOW=$(timeout "$E2E_TIMEOUT" bash -c 'until id=$(xdotool search --onlyvisible --name "^$1\$" |
  grep -vx "$2" | head -n 1) && [[ -n $id ]]; do sleep 0.05; done; echo "$id"' _ \
  "$title: Spring flowers" "$asked") || e2e_fail "no box after building from the saved sheet"
press Escape  # Close
[[ $E2E_EXIT_CODE == 0 ]] || e2e_fail "building from the saved sheet ended with status $E2E_EXIT_CODE"
[[ $(stat -c %Y "$folder.anthora") != $(date -d '2000-01-01' +%s) ]] ||
  e2e_fail "the set file was not made from the saved sheet"
rm "$lock"
good=$(sha256sum <"$folder.anthora")

echo "a sheet with problems: the box names them, no set file is replaced"
printf 'tulip.jpg\tTulip\tTulip\tB\tC\nlost.jpg\tLily\tA\tB\tC\n' >>"$folder/questions.tsv"
# What a killed action left (its folder unlocked) goes at the next action on the folder.
mkdir -m 700 "$HOME/.Spring flowers.anthora-part-KILLED"
open_folder
e2e_window_shot "$shot"
press Return
[[ ! -e "$HOME/.Spring flowers.anthora-part-KILLED" ]] || e2e_fail "a killed action's folder stays"
[[ $E2E_EXIT_CODE == 1 ]] || e2e_fail "a sheet with problems ended with status $E2E_EXIT_CODE"
[[ $(sha256sum <"$folder.anthora") == "$good" ]] || e2e_fail "the good set file was replaced"

echo "another file by the set file's name is never replaced, nor the preview then"
sed -i '/Tulip\tTulip/d; /lost.jpg/d' "$folder/questions.tsv"
mv "$folder.anthora" "$E2E_DIR/good.anthora"
echo "the teacher's notes" >"$folder.anthora"
preview=$(sha256sum <"$folder-preview.png")
open_folder
press Return
[[ $(cat "$folder.anthora") == "the teacher's notes" ]] || e2e_fail "another file was replaced"
[[ $(sha256sum <"$folder-preview.png") == "$preview" ]] ||
  e2e_fail "the preview was replaced although the set file was not"
mv "$E2E_DIR/good.anthora" "$folder.anthora"

echo "a picture of the teacher's by the preview's name is never replaced"
mv "$folder-preview.png" "$E2E_DIR/preview.png"
convert -size 40x30 xc:green "$folder-preview.png"
photo=$(sha256sum <"$folder-preview.png")
open_folder
press Return
[[ $E2E_EXIT_CODE == 1 ]] || e2e_fail "a foreign preview ended with status $E2E_EXIT_CODE"
[[ $(sha256sum <"$folder-preview.png") == "$photo" ]] || e2e_fail "the teacher's picture was replaced"
[[ $(sha256sum <"$folder.anthora") == "$good" ]] || e2e_fail "the set file was replaced alone"
mv "$E2E_DIR/preview.png" "$folder-preview.png"

if (($(id -u) != 0)); then  # the superuser writes anywhere
  echo "a folder that cannot be written to"
  chmod a-w "$HOME"
  open_folder
  press Return
  chmod u+w "$HOME"
  [[ $E2E_EXIT_CODE == 1 ]] || e2e_fail "an unwritable folder ended with status $E2E_EXIT_CODE"
fi

echo "no folder named: a box says so"
e2e_launch "$title" "$prefix/bin/anthora" --make-quiz ""
press Return
[[ $E2E_EXIT_CODE == 1 ]] || e2e_fail "no folder ended with status $E2E_EXIT_CODE"
grep -q "filesystem error" "$E2E_LOG" && e2e_fail "no folder: $(cat "$E2E_LOG")"

echo "a long build, cancelled, leaves nothing"
many="$HOME/Many flowers"
mkdir "$many"
convert -size 4000x3000 plasma:fractal -quality 92 "$many/photo-01.jpg"
printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n' >"$many/questions.tsv"
# Enough photos (links to one file) that the build is still running well after its progress
# window shows; the program is stopped while the key is pressed, so the key always finds it.
for i in $(seq -w 1 600); do
  [[ $i == 001 ]] || ln "$many/photo-01.jpg" "$many/photo-$i.jpg"
  printf 'photo-%s.jpg\tFlower %s\tA\tB\tC\n' "$i" "$i" >>"$many/questions.tsv"
done
sed -i 's/^photo-001.jpg/photo-01.jpg/' "$many/questions.tsv"
before=$(ls -A "$HOME")
folder=$many open_folder
kill -STOP "$E2E_PROGRAM_PID"
[[ ! -e "$many.anthora" && ! -e "$many-preview.png" ]] ||
  e2e_fail "the build ended before its progress window could be cancelled"
key Escape  # Cancel
kill -CONT "$E2E_PROGRAM_PID"
e2e_wait_exit "Cancel"
[[ $(ls -A "$HOME") == "$before" ]] || e2e_fail "a cancelled build left $(ls -A "$HOME")"

echo "a folder holding a flashcard deck and no sheet: the set is built from the deck"
mkdir "$HOME/Meadow"
"$prefix/bin/anthora" --export-deck "$prefix/share/anthora/sample" "$HOME/Meadow/meadow.apkg" \
  --language en >/dev/null || e2e_fail "--export-deck failed"
folder="$HOME/Meadow" open_folder
[[ -s $HOME/Meadow.anthora && -s $HOME/Meadow-preview.png ]] ||
  e2e_fail "no set file or preview from the deck: $(ls "$HOME")"
[[ -z $(cd "$HOME/Meadow" && ls questions.* 2>/dev/null) ]] || e2e_fail "a sheet was written"
[[ $(unzip -p "$HOME/Meadow.anthora" ris/fen.ani | head -1 | tr -d '\r') == 42 ]] ||
  e2e_fail "the set from the deck: $(unzip -p "$HOME/Meadow.anthora" ris/fen.ani | head -3)"
press Escape
rm -rf "$HOME/Meadow" "$HOME/Meadow.anthora" "$HOME/Meadow-preview.png"

echo "in Russian"
[[ $(LANG=ru_RU.UTF-8 gio info "$entry" 2>/dev/null; grep '^Name\[ru\]=' "$entry") == *"Сделать викторину Anthora"* ]] ||
  e2e_fail "the entry's Russian name"
# X's plain title property holds the title's bytes; desktops read its UTF-8 one.
LANG=ru_RU.UTF-8 LANGUAGE= LC_ALL= folder="$HOME/Spring flowers" open_folder ".*Anthora.*"
[[ $(xprop -id "$E2E_WINDOW" _NET_WM_NAME) == *'"Сделать викторину Anthora: Spring flowers"' ]] ||
  e2e_fail "the box's title is $(xprop -id "$E2E_WINDOW" _NET_WM_NAME)"
e2e_window_shot "$shot"
russian=$E2E_DIR/russian.png
cp "$shot" "$russian"
press Escape
# The same box in English differs where its text is.
LANG=C LANGUAGE= LC_ALL= folder="$HOME/Spring flowers" open_folder
e2e_window_shot "$shot"
press Escape
(($(e2e_differing_pixels "$shot" "$russian" 0 0 200 40) > 100)) || e2e_fail "the box is not in Russian"
echo "make quiz: ok"
