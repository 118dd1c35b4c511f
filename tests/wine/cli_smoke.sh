#!/bin/bash
# vandrel-cli.exe as a user runs it under Wine: a small archive made, listed and extracted,
# and the extracted bytes compared with what went in.
#
#   tests/wine/cli_smoke.sh path/to/vandrel-cli.exe
set -eu
exe=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/vandrel-cli-smoke.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() {
  echo "cli_smoke: $*" >&2
  exit 1
}
cli() { wine "$exe" "$@"; }

printf 'a model' >infernus.dff
head -c 5000 /dev/urandom >infernus.txd
cli new mods.img
cli add mods.img infernus.dff infernus.txd >/dev/null

listing=$(cli list mods.img | tr -d '\r')
expected="layout 2, 2 entries
  index  name                          offset        size         bytes
      0  infernus.dff                       2           1          2048
      1  infernus.txd                       3           3          6144"
[ "$listing" = "$expected" ] || fail "list printed:
$listing"
json=$(cli list mods.img --json | tr -d '\r')
case $json in
  '{"layout":2,"count":2,"entries":[{"index":0,"name":"infernus.dff",'*) ;;
  *) fail "list --json printed: $json" ;;
esac

mkdir out
# A path beginning with a slash is a path, not a Windows-style option.
cli extract "$work/mods.img" '*.TXD' -o out >/dev/null
[ "$(ls out)" = infernus.txd ] || fail "extract wrote: $(ls out)"
cmp -n 5000 infernus.txd out/infernus.txd || fail "the extracted bytes differ"
[ "$(stat -c %s out/infernus.txd)" = 6144 ] || fail "the extracted file is not whole sectors"

status=0
cli extract mods.img nothing -o out 2>err.txt >/dev/null || status=$?
[ $status = 1 ] || fail "a name matching nothing gave status $status"
[ "$(tr -d '\r' <err.txt)" = "No entry matches 'nothing'" ] || fail "stderr: $(cat err.txt)"
# Import replaces the entry of a file's name, whatever the case of a to z, and adds the rest.
mkdir tuned
head -c 3000 /dev/urandom >tuned/INFERNUS.TXD
printf 'new' >tuned/infernus.col
imported=$(cli import mods.img tuned | tr -d '\r')
[ "$imported" = "replaced infernus.txd
added infernus.col" ] || fail "import printed: $imported"
cli extract mods.img infernus.txd -o out >/dev/null
cmp -n 3000 tuned/INFERNUS.TXD out/infernus.txd || fail "the imported bytes differ"
echo "cli_smoke: passed"
