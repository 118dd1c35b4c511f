#!/bin/bash
# Times list and check of archives of a million entries (both layouts, the data a hole of their
# length, so only the 32 MB directory is on disk) and reports each command's largest resident
# memory: what these commands hold must grow with the directory, not with what they print.
#
#   bench/million.sh [--runs N] [--entries N] EXE...
#
# Every EXE (a vandrel-cli) runs every command in turn, so builds compare in the same run.
# Prints one row per command and build: median wall time, median CPU time (user + system),
# and the largest resident memory of all its runs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
runs=5
entries=1000000
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift ;;
    --entries) entries=$2; shift ;;
    -*) echo "usage: $0 [--runs N] [--entries N] EXE..." >&2; exit 2 ;;
    *) break ;;
  esac
  shift
done
[ $# -gt 0 ] || { echo "usage: $0 [--runs N] [--entries N] EXE..." >&2; exit 2; }
builds=()
for exe in "$@"; do builds+=("$(realpath "$exe")"); done
data_tool=$root/build/native/bench/make_bench_data
data=$root/build/bench/million-$entries
if [ ! -f "$data/ready" ]; then
  mkdir -p "$data"
  "$data_tool" archive "$data/v2.img" --entries "$entries" --bytes $((entries * 4000)) --sparse
  "$data_tool" archive "$data/v1.img" --layout 1 --entries "$entries" \
    --bytes $((entries * 4000)) --sparse
  touch "$data/ready"
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

echo "| command | build | wall (median) | CPU user+sys (median) | max resident |"
echo "|---|---|---|---|---|"
for command in "list v1.img" "list v2.img" "list --json v2.img" "check v1.img" "check v2.img" \
  "check --json v2.img"; do
  for exe in "${builds[@]}"; do
    : >"$data/times"
    for _ in $(seq "$runs"); do
      # The exit status of check tells of problems, which these archives have none of.
      (cd "$data" && /usr/bin/time -a -o "$data/times" -f "%e %U %S %M" "$exe" $command >/dev/null)
    done
    wall=$(awk '{ print $1 }' "$data/times" | median)
    cpu=$(awk '{ print $2 + $3 }' "$data/times" | median)
    rss=$(awk '$4 > m { m = $4 } END { printf "%.0f", m / 1024 }' "$data/times")
    echo "| $command | ${exe#"$root"/} | $wall s | $cpu s | $rss MB |"
  done
done
