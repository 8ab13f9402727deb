#!/usr/bin/env bash
# The program in Russian: --help and a usage error, the language taken from each of the usual
# variables, from the build tree and from a copy laid out as an installed program.
# Usage: russian_test.sh PROGRAM
set -uo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "translation.russian: $*" >&2; exit 1; }
locale -a | grep -qix 'ru_RU.utf8' || fail "the ru_RU.UTF-8 locale is missing: run scripts/setup"

# Runs the program with only the named variables of the locale set.
run() {
  local settings=()
  while [[ $1 == *=* ]]; do settings+=("$1"); shift; done
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LC_CTYPE -u LANG "${settings[@]}" "$@" \
    >"$work/out" 2>"$work/err"
  echo $? >"$work/status"
}
expect() {  # STATUS FILE TEXT
  [[ $(cat "$work/status") == "$1" ]] || fail "exit status $(cat "$work/status"), not $1"
  grep -qF -- "$3" "$work/$2" || fail "no '$3' in: $(cat "$work/$2")"
}

run LANG=ru_RU.UTF-8 "$program" --help
expect 0 out "Использование: anthora [ПАРАМЕТРЫ] [ПАПКА]"
expect 0 out "  --check [НАБОР]"
expect 0 out "ФАЙЛ:СТРОКА: error|warning: ТЕКСТ"  # the prefix editors read stays as it is
run LANGUAGE=ru LANG=ru_RU.UTF-8 "$program" --bogus
expect 2 err "anthora: неизвестный параметр '--bogus'"
expect 2 err "Использование:"
run LC_ALL=ru_RU.UTF-8 LANG=C "$program" --scale 9
expect 2 err "anthora: для --scale нужно целое число от 1 до 8 или max, а не '9'"
run LC_MESSAGES=ru_RU.UTF-8 "$program" --pack only-a-folder
expect 2 err "anthora: для --pack нужны ПАПКА с набором"
# LANGUAGE chooses among the languages before the locale's own.
run LANGUAGE=en LANG=ru_RU.UTF-8 "$program" --bogus
expect 2 err "anthora: unknown option '--bogus'"
run LANG=C "$program" --help
expect 0 out "Usage: anthora [OPTIONS] [FOLDER]"

# The question-set commands: a finding of the checker, the builder's findings and its last line,
# and the new sheet's hint. The prefix editors read stays as it is.
mkdir -p "$work/set/ris"
printf '1\r\nrose\r\nRose\r\nTulip\r\nTulip\r\nDaisy\r\n' >"$work/set/ris/fen.ani"
cp "$work/set/ris/fen.ani" "$work/set/ris/fru.ani"
run LANG=ru_RU.UTF-8 "$program" --check "$work/set"
expect 1 out "ris/fen.ani:5: error: неправильный ответ 'Tulip' встречается дважды: ученик увидит \
две одинаковые кнопки"
expect 1 out "(1 вопрос), $work/set/ris/fru.ani (1 вопрос): 4 ошибки, предупреждений нет"
run LANG=ru_RU.UTF-8 "$program" --new-sheet "$work/photos"
expect 0 out "questions.ods: строка заголовков и строка-пример; заполните по строке на каждую фотографию"
run LANG=ru_RU.UTF-8 "$program" --build-set "$work/photos" "$work/out"
expect 1 err "photos/questions.ods:2: error: фото '$work/photos/rose.jpg' не найдено"
expect 1 err "ничего не записано: 1 ошибка, предупреждений нет"

# Laid out as installed: PREFIX/bin/anthora finds PREFIX/share/locale, and a program without
# its catalogue speaks English.
mkdir -p "$work/prefix/bin" "$work/bare" "$work/prefix/share/locale/ru/LC_MESSAGES"
cp "$program" "$work/prefix/bin/anthora"
cp "$program" "$work/bare/anthora"
cp "$(dirname "$program")/locale/ru/LC_MESSAGES/anthora.mo" \
  "$work/prefix/share/locale/ru/LC_MESSAGES/" || fail "no catalogue beside the built program"
run LANG=ru_RU.UTF-8 "$work/prefix/bin/anthora" --help
expect 0 out "Использование: anthora"
run LANG=ru_RU.UTF-8 "$work/bare/anthora" --help
expect 0 out "Usage: anthora"
echo "translation.russian: ok"
