#!/usr/bin/env bash
# An install into a staging prefix: the files a desktop expects, each valid by the desktop's
# own checkers or by its format (the file managers' actions), and the installed program started as its menu entry starts it (from the home
# folder) playing the bundled sample.
# Usage: install_test.sh BUILD_FOLDER
source "$(dirname "$0")/../e2e/lib.sh"
build=$(realpath "$1")
prefix="$E2E_DIR/staged prefix"  # a blank inside tests the quoting of the menu entry
id=org.example.anthora

cmake --install "$build" --prefix "$prefix" >"$E2E_DIR/install.log" || e2e_fail "install failed"
for file in bin/anthora share/anthora/sample/ris/fen.ani share/anthora/sample/ris/fru.ani \
  share/anthora/sample/ris/rose1.jpg share/anthora/sample/ris/CREDITS.md \
  share/doc/anthora/README.md share/doc/anthora/LICENSE share/man/man6/anthora.6.gz \
  share/mime/packages/$id.xml share/man/ru/man6/anthora.6.gz \
  share/locale/ru/LC_MESSAGES/anthora.mo share/doc/anthora/teachers-guide.md \
  share/doc/anthora/teachers-guide.ru.md share/doc/anthora/learners-guide.md \
  share/doc/anthora/learners-guide.ru.md libexec/anthora/anthora-authoring; do
  [[ -s $prefix/$file ]] || e2e_fail "$file is not installed"
done
# The installed quiz hands the commands for question sets to their installed program.
"$prefix/bin/anthora" --check "$prefix/share/anthora/sample" >"$E2E_DIR/check.log" 2>&1 ||
  e2e_fail "the installed --check: $(cat "$E2E_DIR/check.log")"
grep -q 'no errors' "$E2E_DIR/check.log" || e2e_fail "the installed --check: $(cat "$E2E_DIR/check.log")"
for icon in apps/$id mimetypes/application-x-anthora-set; do
  for size in 48 128 256; do
    file=$prefix/share/icons/hicolor/${size}x$size/$icon.png
    [[ $(/usr/bin/identify -format '%wx%h %[channels]' "$file") == "${size}x$size srgba" ]] ||
      e2e_fail "the $size icon $icon is $(/usr/bin/identify -format '%wx%h %[channels]' "$file")"
  done
done

entry=$prefix/share/applications/$id.desktop
# The entries, and the make-quiz action in each file manager's own format.
for file in "$entry" "$prefix/share/applications/$id.make-quiz.desktop" \
  "$prefix/share/Thunar/sendto/$id.make-quiz.desktop"; do
  desktop-file-validate "$file" >"$E2E_DIR/validate.log" 2>&1 &&
    ! grep -Eq 'error|warning' "$E2E_DIR/validate.log" ||
    e2e_fail "desktop-file-validate: $(cat "$E2E_DIR/validate.log")"
done
"$(dirname "$0")/validate_actions.py" "$prefix/share" >"$E2E_DIR/actions.log" 2>&1 ||
  e2e_fail "the file managers' actions: $(cat "$E2E_DIR/actions.log")"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" \
  >"$E2E_DIR/appstream.log" 2>&1 || e2e_fail "appstreamcli: $(cat "$E2E_DIR/appstream.log")"
zcat "$prefix/share/man/man6/anthora.6.gz" | groff -man -ww -z 2>"$E2E_DIR/man.log" &&
  [[ ! -s $E2E_DIR/man.log ]] || e2e_fail "the manual page: $(cat "$E2E_DIR/man.log")"
zcat "$prefix/share/man/ru/man6/anthora.6.gz" | groff -k -Tutf8 -man -ww -z 2>"$E2E_DIR/man.log" &&
  [[ ! -s $E2E_DIR/man.log ]] || e2e_fail "the Russian manual page: $(cat "$E2E_DIR/man.log")"
# The installed program finds its catalogue under its own prefix.
# (Read whole: a grep that stops at its first match would cut the help off in mid-write.)
help=$(LC_ALL=ru_RU.UTF-8 "$prefix/bin/anthora" --help)
[[ $help == 'Использование: anthora'* ]] || e2e_fail "the installed program does not speak Russian"

# The launcher's way: the Exec line split as its quoting says, without a file for its %f, in
# the home folder.
# A prefix with a blank is left to the PATH.
exec_line=$(sed -n '0,/^Exec=/s/^Exec=//p' "$entry" | sed 's/\\\\/\\/g; s/ %f$//')
[[ $exec_line == 'anthora --default-set ../share/anthora/sample' ]] || e2e_fail "the entry runs $exec_line"
export PATH="$prefix/bin:$PATH"
eval "command=($exec_line)"
export HOME=$E2E_DIR/home
mkdir -p "$HOME"
cd "$HOME"

e2e_start_xvfb
e2e_launch "Anthora 1.0" "${command[@]}"
e2e_click 479 246  # EN
e2e_click 377 248  # Begin
shot=$E2E_DIR/shot.png
question_shown() {  # black text in every answer button
  e2e_window_shot "$shot" || return 1
  local top
  for top in 81 118 155 192; do
    (($(e2e_count_pixels "$shot" 268 $((top + 6)) 222 18 'intensity < 0.4') > 0)) || return 1
  done
}
e2e_until question_shown || e2e_fail "the first question of the installed sample was not shown"
e2e_stop TERM
echo "install: ok"
