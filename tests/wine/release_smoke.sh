#!/bin/bash
# The Windows release as a user meets it, inside the fresh prefix tests/wine/with-wine.sh makes:
# the zip, unpacked into a folder of its own, holds exactly the two programs, the user's guide
# and the notices; Vandrel.exe started from there lists an archive and finds its ReadMe (the
# driver checks that), and vandrel-cli.exe run from there lists the same archive.
#
#   tests/wine/with-wine.sh tests/wine/release_smoke.sh Vandrel-VERSION-win64.zip release_check.exe
set -eu
zip=$1
driver=$2

fail() {
  echo "release_smoke: $*" >&2
  exit 1
}
[ -f "$zip" ] || fail "$zip is missing: build the package target first"
[ -n "${WINEPREFIX:-}" ] || fail "run it through tests/wine/with-wine.sh"

folder=$WINEPREFIX/drive_c/Vandrel
mkdir "$folder" "$WINEPREFIX/drive_c/archives"
(cd "$folder" && cmake -E tar xf "$zip")
contents=$(cd "$folder" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
[ "$contents" = "./NOTICES.txt ./ReadMe.txt ./Vandrel.exe ./vandrel-cli.exe " ] ||
  fail "the zip holds: $contents"

cd "$WINEPREFIX/drive_c"
VANDREL_RELEASE='C:\Vandrel' VANDREL_RELEASE_ARCHIVE='C:\archives\mods.img' wine "$driver"

cd "$folder"
listing=$(wine ./vandrel-cli.exe list 'C:\archives\mods.img' | tr -d '\r')
expected="layout 2, 2 entries
  index  name                          offset        size         bytes
      0  infernus.dff                       1           1          2048
      1  infernus.txd                       2           3          6144"
[ "$listing" = "$expected" ] || fail "vandrel-cli.exe list printed:
$listing"
echo "release_smoke: passed"
