#!/usr/bin/env bash
# Under a Russian locale, every refusal before the quiz's window opens is Russian: no display,
# no font to draw text with, and a folder of photos with no set, which tells how to make a quiz
# from it. None of them needs a display.
# Usage: start_refusals_test.sh PROGRAM
set -uo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "translation.start_refusals: $*" >&2; exit 1; }
locale -a | grep -qix 'ru_RU.utf8' || fail "the ru_RU.UTF-8 locale is missing: run scripts/setup"
mkdir "$work/photos" "$work/fonts" "$work/cache"
: >"$work/photos/tulip.JPG"

refusal() {  # EXPECTED [VARIABLE=VALUE...] [ARGUMENT]: the program ends with 1 and that line
  local expected=$1
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u LANGUAGE -u LC_ALL -u LC_MESSAGES \
    LANG=ru_RU.UTF-8 XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR= "$@" "$program" \
    ${argument+"$argument"} >"$work/out" 2>"$work/err"
  local status=$?
  [[ $status == 1 ]] || fail "exit status $status, not 1: $(cat "$work/err")"
  # A * in the line stands for SDL's own reason.
  [[ $(cat "$work/err") == "anthora: "${expected//[/\\[} ]] ||
    fail "'$(cat "$work/err")', not 'anthora: $expected'"
}

refusal "не удаётся открыть дисплей: не задана ни DISPLAY, ни WAYLAND_DISPLAY"
refusal "не удаётся открыть дисплей (DISPLAY=:nowhere): *" DISPLAY=:nowhere
refusal "нет шрифта, чтобы рисовать текст: не найдены ни шрифты Liberation, ни DejaVu, и fontconfig не знает других масштабируемых шрифтов; установите fonts-liberation2 или fonts-dejavu-core" \
  ANTHORA_FONT_FOLDERS="$work/fonts"
argument=$work/photos
refusal "$work/photos: здесь нет набора вопросов: искали $work/photos/ris/fen.ani и $work/photos/ris/fru.ani. Из фотографий этой папки можно сделать викторину: выберите «Сделать викторину Anthora» в меню папки в файловом менеджере или выполните anthora --make-quiz $work/photos"
echo "start refusals: ok"
