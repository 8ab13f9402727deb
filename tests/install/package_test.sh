#!/usr/bin/env bash
# The Debian package made by CPack: its name, its fields and the files it carries, and no
# error by lintian, as a distribution would take it.
# Usage: package_test.sh BUILD_FOLDER
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/anthora-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -n 20 "$work/cpack.log")"
debs=("$work"/anthora_1.0*_"$(dpkg --print-architecture)".deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || fail "no single anthora_1.0…_ARCH.deb: $(ls "$work")"
deb=${debs[0]}

field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == anthora ]] || fail "Package: $(field Package)"
[[ $(field Version) == 1.0* ]] || fail "Version: $(field Version)"
depends=$(field Depends)
for package in fonts-liberation2 xdg-utils libzip4 libfontconfig1 libsdl2-2.0-0 libjpeg62-turbo \
  libfreetype6 libc6; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done
[[ -n $(field Maintainer) && -n $(field Description) ]] || fail "no Maintainer or Description"
[[ $(field Recommends) == *'libreoffice-calc | gnumeric'* ]] ||
  fail "Recommends no spreadsheet program: $(field Recommends)"

dpkg-deb --contents "$deb" | awk '{ print $6 }' >"$work/contents"
for file in ./usr/bin/anthora ./usr/share/applications/org.example.anthora.desktop \
  ./usr/share/metainfo/org.example.anthora.metainfo.xml ./usr/share/man/man6/anthora.6.gz \
  ./usr/share/doc/anthora/copyright ./usr/share/doc/anthora/changelog.Debian.gz \
  ./usr/share/icons/hicolor/256x256/apps/org.example.anthora.png \
  ./usr/share/anthora/sample/ris/fen.ani ./usr/share/doc/anthora/LICENSE \
  ./usr/share/mime/packages/org.example.anthora.xml ./usr/share/man/ru/man6/anthora.6.gz \
  ./usr/share/locale/ru/LC_MESSAGES/anthora.mo ./usr/share/doc/anthora/learners-guide.ru.md \
  ./usr/share/icons/hicolor/256x256/mimetypes/application-x-anthora-set.png \
  ./usr/share/file-manager/actions/org.example.anthora.make-quiz.desktop \
  ./usr/share/nemo/actions/org.example.anthora.make-quiz.nemo_action \
  ./usr/share/kio/servicemenus/org.example.anthora.make-quiz.desktop \
  ./usr/share/Thunar/sendto/org.example.anthora.make-quiz.desktop; do
  grep -qxF "$file" "$work/contents" || fail "the package lacks $file"
done
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/org.example.anthora.desktop)
grep -qx 'Exec=/usr/bin/anthora --default-set ../share/anthora/sample %f' <<<"$entry" ||
  fail "the menu entry does not play the installed sample: $(grep Exec <<<"$entry")"
# Read whole (sed, not head), so that tar is never cut off by a closed pipe.
copyright=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/anthora/copyright | sed -n 1p)
[[ $copyright == 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ]] ||
  fail "the copyright file is not machine-readable"
lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
! grep -q '^E:' "$work/lintian.log" || fail "lintian: $(grep '^E:' "$work/lintian.log")"
echo "package: ok ($(stat -c %s "$deb") bytes)"
