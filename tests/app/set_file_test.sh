#!/usr/bin/env bash
# Set files from the command line, without a display: the sample packed, checked and drawn
# from its private folder; a set built straight into a file; folders and ris/ folders taken as
# sets; each kind of hostile archive refused by name, writing nothing outside the private
# folder and leaving none behind; folders of crashed runs removed, those of live runs kept.
# Usage: set_file_test.sh ANTHORA ANTHORA_DRIVE SAMPLE_FOLDER
set -euo pipefail
anthora=$(realpath "$1") drive=$(realpath "$2") sample=$(realpath "$3")
unset DISPLAY WAYLAND_DISPLAY
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_status() {  # STATUS COMMAND...: runs it with output in out and err
  local want=$1 got=0
  shift
  "$@" >out 2>err || got=$?
  [[ $got == "$want" ]] || fail "$* exited with $got, expected $want: $(cat out err)"
}
no_run_folders() { [[ -z $(ls -A "$XDG_RUNTIME_DIR") ]] || fail "$1 left $(ls -A "$XDG_RUNTIME_DIR")"; }

# Packed, from the set's folder or its ris/ folder, kept without --force, and checked.
expect_status 0 "$anthora" --pack "$sample" roses.anthora
[[ $(unzip -Z1 roses.anthora | head -n 1) == ris/ ]] || fail "ris/ is not first: $(unzip -Z1 roses.anthora)"
[[ $(stat -c %a roses.anthora) == 644 ]] || fail "the set file's mode is $(stat -c %a roses.anthora)"
expect_status 1 "$anthora" --pack "$sample/ris/" roses.anthora
grep -q 'roses.anthora: already exists; add --force' err || fail "no --force: $(cat err)"
expect_status 0 "$anthora" --pack --force "$sample/ris/" roses.anthora
[[ $(ls -A) == $'err\nout\nroses.anthora\nruntime' ]] || fail "packing left $(ls -A)"
expect_status 0 "$anthora" --check roses.anthora
grep -qx 'roses.anthora/ris/fen.ani (42 questions), roses.anthora/ris/fru.ani (42 questions): no errors, no warnings' out ||
  fail "the check: $(cat out)"
no_run_folders "the check"
expect_status 0 "$anthora" --preview roses.anthora
[[ $(identify -format %m roses-preview.png) == PNG ]] || fail "no preview of the set file"
no_run_folders "the preview"
rm roses-preview.png

# Made with zip, credits at the top, as anyone can make one; also into a pipe, with the sizes
# after the data, and with 64-bit records forced.
cp -r "$sample/ris" . && echo 'Photos: ours' >CREDITS.md
zip -qr credits.anthora ris CREDITS.md && zip -qr - ris | cat >piped.anthora
zip -qr -fz forced.anthora ris && rm -r ris CREDITS.md
for file in credits.anthora piped.anthora forced.anthora; do
  expect_status 0 "$anthora" --check "$file"
done
rm piped.anthora forced.anthora

# A set built straight into a file; a faulty source writes no file.
mkdir source
convert -size 300x300 gradient:red-blue source/a.jpg
printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\na.jpg\tRose\tTulip\tLily\tAster\n' >source/questions.tsv
touch -d '2020-01-02 03:04:05' source/questions.tsv
expect_status 0 "$anthora" --build-set source built.anthora
# Every entry is dated as the sheet was saved, so that a rebuild of the same sheet and photos
# gives the same bytes.
[[ $(zipinfo -T built.anthora | awk '/^[-d]/ { print $7 }' | sort -u) == 20200102.030404 ]] ||
  fail "the entries' dates: $(zipinfo -T built.anthora)"
cp built.anthora first.anthora
expect_status 0 "$anthora" --build-set --force source built.anthora
cmp -s built.anthora first.anthora || fail "a rebuild of the same sheet differs"
rm first.anthora
grep -q '^built.anthora: 1 question, 1 picture' out || fail "the build: $(cat out err)"
[[ $(unzip -Z1 built.anthora | sort | tr '\n' ' ') == "ris/ ris/a.jpg ris/fen.ani ris/fru.ani " ]] ||
  fail "the built file holds $(unzip -Z1 built.anthora)"
expect_status 1 "$anthora" --build-set source built.anthora
expect_status 1 "$anthora" --build-set source source/in.anthora
grep -q '^source/in.anthora: error: would be written inside the source folder' err ||
  fail "a set file in its source: $(cat err)"
printf 'picture\ten\nmissing.jpg\tRose\n' >source/questions.tsv
expect_status 1 "$anthora" --build-set source faulty.anthora
[[ ! -e faulty.anthora && -z $(ls -A | grep '^\.') ]] || fail "a faulty build left $(ls -A)"

# A link in the set is not packed, wherever it leads; only a regular file is replaced; the
# name is read in any letter case.
cp -r "$sample" linked && ln -s /etc/passwd linked/ris/notes.jpg
expect_status 1 "$anthora" --pack linked linked.anthora
grep -qx 'anthora: linked/ris/notes.jpg: is a symbolic link, and a set file packs no links' err ||
  fail "a link: $(cat err)"
mkfifo pipe.anthora pipe.png
expect_status 1 "$anthora" --pack --force "$sample" pipe.anthora
grep -q '^anthora: pipe.anthora: .*only a regular file is ever replaced' err || fail "a pipe: $(cat err)"
expect_status 1 "$anthora" --build-set --force source pipe.anthora
expect_status 1 "$anthora" --preview --force "$sample" pipe.png
[[ -p pipe.anthora && -p pipe.png && ! -e linked.anthora ]] || fail "replaced: $(ls -l)"
expect_status 0 "$anthora" --pack "$sample" UP.ANTHORA
printf 'picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\na.jpg\tRose\tTulip\tLily\tAster\n' >source/questions.tsv
expect_status 0 "$anthora" --build-set source Up.Anthora
[[ $(unzip -Z1 Up.Anthora | head -n 1) == ris/ ]] || fail "Up.Anthora is no set file"
[[ -z $(ls -A | grep '^\.') ]] || fail "writes left $(ls -A)"
rm -r linked pipe.* UP.ANTHORA Up.Anthora

# A set file is never packed inside its own set; a preview is a PNG, and only of a set.
cp -r "$sample" inner && mkdir empty
expect_status 1 "$anthora" --pack --force inner inner/ris/x.anthora
grep -qx 'anthora: inner/ris/x.anthora: would be written inside the set it packs; choose a place outside inner' err ||
  fail "packed inside: $(cat err)"
[[ ! -e inner/ris/x.anthora && -z $(ls -A inner/ris | grep '^\.') ]] || fail "packing inside left $(ls -A inner/ris)"
expect_status 1 "$anthora" --preview "$sample" sheet.jpg
grep -qx 'anthora: sheet.jpg: a preview is a PNG picture; give it a name ending in .png' err ||
  fail "a preview as .jpg: $(cat err)"
expect_status 1 "$anthora" --preview empty empty.png
grep -q '^anthora: empty: no question set here' err || fail "a preview of no set: $(cat err)"
[[ ! -e sheet.jpg && ! -e empty.png ]] || fail "a refused preview was written"
rm -r inner empty

# The check of a set file names its pictures by the file; run inside a ris/ folder, it says so.
cp -r "$sample" lacking && rm lacking/ris/cosmos1.jpg
expect_status 1 "$anthora" --pack lacking lacking.anthora
[[ ! -e lacking.anthora && -z $(ls -A | grep '^\.') ]] || fail "a set with errors was packed: $(ls -A)"
grep -qx 'lacking.anthora not written: the set has errors; fix them and make the set file again' err ||
  fail "packing a set with errors: $(cat err)"
(cd lacking && zip -qr ../lacking.anthora ris)
expect_status 1 "$anthora" --check lacking.anthora
grep -q "^lacking.anthora/ris/fen.ani:[0-9]*: error: picture 'lacking.anthora/ris/cosmos1.jpg' not found" out ||
  fail "the check names $(cat out)"
(cd lacking/ris && expect_status 1 "$anthora" --check && grep -q "looks like a set's ris folder" err) ||
  fail "a check inside ris/: $(cat lacking/ris/err)"
(cd lacking/ris && expect_status 1 "$anthora" --check . && grep -q '^\.\./ris/fen.ani' out) ||
  fail "a check of ris/ as .: $(cat lacking/ris/out)"
rm -r lacking lacking.anthora

# A UTF-8 fru.ani is not packed; in a set file made otherwise, the check says how to mend the
# set, since the file it names cannot be changed in place; a set file lacking one language
# file names it.
cp -r "$sample" utf8 && iconv -f CP1251 -t UTF-8 "$sample/ris/fru.ani" >utf8/ris/fru.ani
expect_status 1 "$anthora" --pack utf8 utf8.anthora
[[ ! -e utf8.anthora ]] || fail "a UTF-8 fru.ani was packed"
(cd utf8 && zip -qr ../utf8.anthora ris && rm ris/fru.ani && zip -qr ../half.anthora ris)
expect_status 1 "$anthora" --check utf8.anthora
grep -q '^utf8.anthora/ris/fru.ani:3: error: the text is UTF-8.*pack it again$' out && ! grep -q iconv out ||
  fail "the hint for a set file: $(cat out)"
expect_status 1 "$anthora" --check half.anthora
grep -q '^half.anthora/ris/fru.ani: error: missing' out || fail "a missing fru.ani: $(cat out)"
expect_status 1 "$anthora" half.anthora
grep -q 'half.anthora: holds ris/fen.ani but not ris/fru.ani' err || fail "playing half a set: $(cat err)"
rm -r utf8 utf8.anthora half.anthora

# A folder with no set is named at start, before any window, with what was looked for.
mkdir -p lesson/ris
expect_status 1 "$anthora" lesson
grep -qx 'anthora: lesson: no question set here: looked for lesson/ris/fen.ani and lesson/ris/fru.ani' err ||
  fail "an empty folder: $(cat err)"
expect_status 1 "$anthora" lesson/ris
grep -q 'or lesson/ris/fen.ani and lesson/ris/fru.ani$' err || fail "an empty ris/: $(cat err)"
expect_status 0 "$anthora" --check "$sample/ris"
# A folder, a ris/ folder or a set file that holds one of the two set files names the other.
cp "$sample/ris/fen.ani" lesson/ris/
for named in lesson lesson/ris; do
  expect_status 1 "$anthora" "$named"
  grep -qx "anthora: $named: no question set here: lesson/ris/fru.ani is missing, and a set needs both ris/fen.ani and ris/fru.ani" err ||
    fail "a folder with ris/fen.ani only, named $named: $(cat err)"
done
(cd lesson && zip -q ../lesson.anthora ris/fen.ani)
expect_status 1 "$anthora" lesson.anthora
grep -qx "anthora: lesson.anthora: holds ris/fen.ani but not ris/fru.ani, and the quiz needs both; make the set file again" err ||
  fail "a set file with ris/fen.ani only: $(cat err)"
expect_status 1 "$anthora" --check lesson.anthora
grep -q "^lesson.anthora/ris/fru.ani: error: missing: the quiz needs both" out ||
  fail "a set file with ris/fen.ani only under --check: $(cat out err)"
rm -r lesson lesson.anthora

# Hostile archives, each refused by name and reason.
python3 - <<'PYTHON'
import zipfile, os, struct

def archive(name, entries, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(name, "w", method) as z:
        z.writestr("ris/fen.ani", "0\r\n")
        z.writestr("ris/fru.ani", "0\r\n")
        for entry, data in entries:
            z.writestr(entry, data)

def special(name, mode):
    info = zipfile.ZipInfo("ris/x.jpg")
    info.create_system = 3
    info.external_attr = mode << 16
    return (info, "/etc/passwd")

def declare_size(name, entry, size):  # the unpacked size in both headers, the bytes unchanged
    data = bytearray(open(name, "rb").read())
    key = entry.encode()
    for signature, offset, length_at, name_at in ((b"PK\3\4", 22, 26, 30), (b"PK\1\2", 24, 28, 46)):
        at = data.find(signature)
        while at >= 0:
            length = struct.unpack_from("<H", data, at + length_at)[0]
            if data[at + name_at:at + name_at + length] == key:
                struct.pack_into("<I", data, at + offset, size)
            at = data.find(signature, at + 1)
    open(name, "wb").write(data)

archive("absolute.anthora", [(zipfile.ZipInfo("/tmp/anthora-escaped"), "x")])
archive("climbing.anthora", [("ris/../../escaped", "x")])
archive("outside.anthora", [("notes.txt", "x")])
archive("link.anthora", [special("link.anthora", 0o120777)])
archive("fifo.anthora", [special("fifo.anthora", 0o010644)])
archive("bomb.anthora", [("ris/zeros.jpg", bytes(4 << 20))])
with zipfile.ZipFile("crowded.anthora", "w") as z:
    for i in range(10_001):
        z.writestr(f"ris/{i}.jpg", "")
archive("huge.anthora", [("ris/huge.jpg", "x")], zipfile.ZIP_STORED)
declare_size("huge.anthora", "ris/huge.jpg", 300 << 20)
archive("big.anthora", [(f"ris/{i}.jpg", os.urandom(1_200_000)) for i in range(3)])
for i in range(3):
    declare_size("big.anthora", f"ris/{i}.jpg", 100 << 20)
archive("lying.anthora", [("ris/a.jpg", b"a" * 1000)])
declare_size("lying.anthora", "ris/a.jpg", 10)
PYTHON
(cd "$sample" && zip -q -P secret "$work/encrypted.anthora" ris/fen.ani)
printf 'not a zip\n' >text.anthora
# A download that stopped half way: the start of a set file, without its end.
head -c "$(($(stat -c %s credits.anthora) / 2))" credits.anthora >cut.anthora
: >empty.anthora
while read -r file reason; do
  expect_status 1 "$anthora" --check "$file"
  grep -qxF "anthora: $file: $reason" err || fail "$file: $(cat err), expected: $reason"
  no_run_folders "$file"
done <<'REFUSALS'
absolute.anthora '/tmp/anthora-escaped' is an absolute name
climbing.anthora 'ris/../../escaped' climbs out of its folder with '..'
outside.anthora 'notes.txt' lies outside ris/
link.anthora 'ris/x.jpg' is a symbolic link
fifo.anthora 'ris/x.jpg' is a special file
bomb.anthora 'ris/zeros.jpg' unpacks to more than 200 times its packed size
crowded.anthora holds more than 10000 entries
huge.anthora 'ris/huge.jpg' unpacks to more than 256 MiB
big.anthora unpacks to more than 256 MiB in all
lying.anthora 'ris/a.jpg' holds more than its header says
encrypted.anthora 'ris/fen.ani' is encrypted
text.anthora not a zip archive
empty.anthora not a zip archive
cut.anthora the file is incomplete: download it again
REFUSALS
[[ ! -e /tmp/anthora-escaped && ! -e escaped && ! -e runtime/escaped ]] || fail "an entry escaped"

# Folders of ended runs go at the next start; a live run's, locked, stays.
mkdir -m 700 runtime/anthora-set-dead00 runtime/anthora-set-alive0
touch runtime/anthora-set-dead00/fen.ani
exec {held}<runtime/anthora-set-alive0
flock "$held"
expect_status 0 "$anthora" --check "$sample"
[[ $(ls "$XDG_RUNTIME_DIR" | tr '\n' ' ') == "anthora-set-alive0 " ]] ||
  fail "the run folders: $(ls "$XDG_RUNTIME_DIR")"
exec {held}<&-
echo "set files: all passed"
