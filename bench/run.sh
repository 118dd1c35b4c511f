#!/bin/bash
# Times vandrel-cli against plain copies of the same bytes, natively and under Wine, with
# hyperfine, and prints one table: operation, size, the baseline's median, then for each build
# its median, throughput and ratio to the baseline measured in the same run.
#
#   bench/run.sh [--runs N] [--no-wine] [--smoke] [--work DIR] [--old NATIVE_EXE [--old-wine WINE_EXE]]
#
# With --old, an older build is timed in the same runs, beside the baseline and the new build,
# and the table gives both, with each one's CPU time (user + system, mean).
#
# The data (about 5 GiB, made once) and the work files live in build/bench, or in --work DIR;
# extraction leaves a GiB per run there until its row is done. --smoke runs every operation
# twice on tiny archives, to show the benchmarks themselves still work.
# Knobs for the tests' smoke run: --native EXE, --wine EXE, --data-tool EXE.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
self=$root/bench/run.sh

runs=5
smoke=0
native=$root/build/native/vandrel-cli
wine_exe=$root/build/windows/vandrel-cli.exe
data_tool=
work=$root/build/bench
use_wine=1
measure=
old=
old_wine=
measure_old=
table_only=0
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift ;;
    --smoke) smoke=1; runs=2; use_wine=0 ;;
    --no-wine) use_wine=0 ;;
    --native) native=$2; shift ;;
    --wine) wine_exe=$2; use_wine=1; shift ;;
    --data-tool) data_tool=$2; shift ;;
    --work) work=$2; shift ;;
    --old) old=$2; shift ;;
    --old-wine) old_wine=$2; shift ;;
    --measure) measure=$2; shift ;;  # internal: time one build's commands
    --measure-old) measure_old=$2; shift ;;  # internal: and the older build's beside them
    --table) table_only=1 ;;  # the last run's table again
    *) echo "usage: $0 [--runs N] [--no-wine] [--smoke]" >&2; exit 2 ;;
  esac
  shift
done

# Unless named, the data tool is the one of the build being timed.
[ -n "$data_tool" ] || data_tool=$(dirname "$native")/bench/make_bench_data

if [ $smoke = 1 ]; then
  entries=40 bytes=2000000 big=65536 small=200 small_bytes=400000
  files=10 files_bytes=100000 deleted=5 replace_bytes=65536
  data=$work/smoke-data
else
  entries=16000 bytes=1073741824 big=10485760 small=100000 small_bytes=204800000
  files=1000 files_bytes=67108864 deleted=1000 replace_bytes=10485760
  data=$work/data
fi
dir_bytes=$((8 + 32 * entries))

# One operation: name, size shown, bytes it moves, then the baseline and the command, each
# with the untimed step run before every timing; the older build, if any, runs the command with
# its own program in the same run. Appends "name|size|bytes|base|cli|old" (medians), then
# "|base|cli|old" again as CPU times.
time_one() {
  local name=$1 size=$2 moved=$3 base_prepare=$4 base=$5 cli_prepare=$6 cli=$7
  local older=()
  [ -z "$measure_old" ] || older=(--prepare "$cli_prepare" -n old "${cli/"$measure"/"$measure_old"}")
  # Its warnings about commands too quick to time well are kept for a failure.
  hyperfine --runs "$runs" --style none --export-csv "$work/one.csv" \
    --prepare "$base_prepare" -n baseline "$base" \
    --prepare "$cli_prepare" -n cli "$cli" "${older[@]}" >"$work/hyperfine.log" 2>&1 ||
    { cat "$work/hyperfine.log" >&2; return 1; }
  awk -F, -v name="$name" -v size="$size" -v moved="$moved" \
    'NR > 1 { median[$1] = $4; cpu[$1] = $5 + $6 }
     END { printf "%s|%s|%s|%s|%s|%s|%s|%s|%s\n", name, size, moved, median["baseline"],
             median["cli"], median["old"], cpu["baseline"], cpu["cli"], cpu["old"] }' \
    "$work/one.csv" >>"$results"
}

# Every operation with the command line `$measure`, from within the data folder.
measure_all() {
  local cli=$measure
  cd "$data"
  local none="sync"
  time_one "list" "$entries entries" $dir_bytes \
    "$none" "head -c $dir_bytes big2.img >/dev/null" "$none" "$cli list big2.img >/dev/null"
  time_one "list" "$small entries" $((8 + 32 * small)) \
    "$none" "head -c $((8 + 32 * small)) small.img >/dev/null" "$none" "$cli list small.img >/dev/null"
  time_one "check" "$entries entries" $dir_bytes \
    "$none" "head -c $dir_bytes big2.img >/dev/null" "$none" "$cli check big2.img >/dev/null"
  # The baseline copies as many files of the same sizes: creating 16,000 files costs this disk
  # far more than writing their bytes does.
  # Under Wine one run takes minutes: each file created in a folder costs a search of all the
  # names already there, which Windows does not do. One run is measure enough for that.
  local extract_runs=$runs
  [ "${cli#wine }" = "$cli" ] || extract_runs=1
  # Every run writes into a new folder, and the folders go only when the row is done: ext4
  # without a journal (this machine's) passes over each inode freed in the last 50 minutes when
  # it makes a file, so runs after the deletion of 16,000 files each took longer than the last,
  # up to six times as long, whichever program ran. Each run leaves a GiB until then.
  local fresh="d=$work/out-\$(date +%s%N) && mkdir \$d && ln -sfn \$d $work/out && sync"
  runs=$extract_runs time_one "extract all" "$(size_of big2.img)" "$(bytes_of big2.img)" \
    "$fresh" "cp -r extracted/. $work/out/" \
    "$fresh" "$cli extract big2.img -o $work/out >/dev/null"
  rm -rf "$work"/out-* "$work/out"
  # The baseline appends the same files to the same archive: on ext4, growing a file of a GiB
  # costs about twice what writing a new file does.
  time_one "add $files files" "$(size_of files)" "$(bytes_of files)" \
    "cp big2.img $work/added && sync" "cat files/* >>$work/added" \
    "cp big2.img $work/add.img && sync" "$cli add $work/add.img files >/dev/null"
  # Against add of the same files: import runs the window's Replace for the half named as
  # entries, which writes a record beside the archive and flushes twice for each that fits in
  # place, and its Add for the rest. An older build without import times nothing beside it.
  local old_import=$measure_old
  [ -z "$measure_old" ] || $measure_old --help | grep -q "^  import " || old_import=
  measure_old=$old_import time_one "import $files files, half replacing" "$(size_of mixed)" "$(bytes_of mixed)" \
    "cp big2.img $work/add.img && sync" "$cli add $work/add.img mixed >/dev/null" \
    "cp big2.img $work/add.img && sync" "$cli import $work/add.img mixed >/dev/null"
  time_one "replace an entry" "$(size_of replacement.dat)" $replace_bytes \
    "rm -f $work/copy.dat && sync" "cp replacement.dat $work/copy.dat" \
    "$none" "$cli replace big2.img '#0' replacement.dat >/dev/null"
  # Every step-th entry from the 8th, by number and by name, as a user types them.
  local step=$((entries / deleted)) numbers names1 names2
  numbers=$(seq -f "'#%g'" 7 $step $((entries - 1)) | head -n $deleted | tr '\n' ' ')
  names1=$(names_of big1.img $step) names2=$(names_of big2.img $step)
  time_one "delete $deleted entries by number, layout 1" "$(size_of big1.dir)" \
    "$(bytes_of big1.dir)" "rm -f $work/copy.dir && sync" "cp big1.dir $work/copy.dir" \
    "cp big1.dir $work/del.dir && sync" "$cli delete $work/del.img $numbers >/dev/null"
  time_one "delete $deleted entries by name, layout 1" "$(size_of big1.dir)" "$(bytes_of big1.dir)" \
    "rm -f $work/copy.dir && sync" "cp big1.dir $work/copy.dir" \
    "cp big1.dir $work/del.dir && sync" "$cli delete $work/del.img $names1 >/dev/null"
  time_one "delete $deleted entries by name, layout 2" "$(size_of_bytes $dir_bytes)" $dir_bytes \
    "rm -f $work/copy.dir && sync" "head -c $dir_bytes big2.img >$work/copy.dir" \
    "dd if=big2.img of=$work/del2.img bs=1M count=1 conv=notrunc status=none && sync" \
    "$cli delete $work/del2.img $names2 >/dev/null"
  local layout restore
  for layout in 1 2; do
    restore="cp holes$layout.img $work/rebuild.img"
    [ $layout = 2 ] || restore="$restore && cp holes1.dir $work/rebuild.dir"
    # A rebuild makes its copy durable before it takes the archive's place; so does the baseline.
    time_one "rebuild, 10% holes, layout $layout" "$(size_of holes$layout.img)" \
      "$(bytes_of holes$layout.img)" \
      "rm -f $work/copy.img && sync" "cp holes$layout.img $work/copy.img && sync $work/copy.img" \
      "$restore && sync" "$cli rebuild $work/rebuild.img >/dev/null"
  done
}

# The names of every `step`-th entry of an archive from the 8th, as many as are deleted.
names_of() {
  "$native" list "$1" | awk -v step="$2" 'NR > 2 && $1 % step == 7 % step { print $2 }' |
    head -n $deleted | tr '\n' ' '
}

bytes_of() { du -sb --apparent-size "$@" | awk '{ s += $1 } END { print s }'; }
size_of_bytes() {
  awk -v b="$1" 'BEGIN { split("B KiB MiB GiB", u); i = 1
    while (b >= 1024 && i < 4) { b /= 1024; i++ }
    printf (b < 10 ? "%.1f %s" : "%.0f %s"), b, u[i] }'
}
size_of() { size_of_bytes "$(bytes_of "$@")"; }

# The files to import: half of them named as entries of big2.img, the other half as new ones
# that sort right behind those ("NAMEx.ext" behind "NAME.ext"), so that new and replacing
# files alternate: the order in which import can take no two new files as one batch.
make_mixed() {
  local step=$((entries / (files / 2))) new old name
  mkdir "$data/mixed"
  "$native" list "$data/big2.img" | awk -v step=$step 'NR > 2 && $1 % step == 0 { print $2 }' |
    head -n $((files / 2)) >"$data/names.txt"
  ls "$data/files" | paste -d ' ' - - "$data/names.txt" | while read -r new old name; do
    cp "$data/files/$old" "$data/mixed/$name"
    cp "$data/files/$new" "$data/mixed/${name%.*}x.${name##*.}"
  done
  rm "$data/names.txt"
}

# The data are made once; a change of what run.sh makes, or of its sizes, makes them anew.
data_version="3 $entries $bytes $big $small $small_bytes $files $files_bytes $replace_bytes"
make_data() {
  [ "$(cat "$data/ready" 2>/dev/null)" = "$data_version" ] && return 0
  rm -rf "$data"
  mkdir -p "$data"
  echo "bench: writing the data to $data" >&2
  "$data_tool" archive "$data/big2.img" --entries $entries --bytes $bytes --big $big
  "$data_tool" archive "$data/big1.img" --layout 1 --entries $entries --bytes $bytes --big $big
  "$data_tool" archive "$data/small.img" --entries $small --bytes $small_bytes
  "$data_tool" archive "$data/holes1.img" --layout 1 --entries $entries --bytes $bytes --holes 10
  "$data_tool" archive "$data/holes2.img" --entries $entries --bytes $bytes --holes 10
  "$data_tool" files "$data/files" --count $files --bytes $files_bytes --prefix mod
  head -c $replace_bytes /dev/urandom >"$data/replacement.dat"
  make_mixed
  mkdir "$data/extracted"
  "$native" extract "$data/big2.img" -o "$data/extracted" >/dev/null
  echo "$data_version" >"$data/ready"
}

# Work copies the delete runs restore only in part: layout 1 keeps its .img, layout 2 all but
# the directory's first MiB.
make_work() {
  cp "$data/big1.img" "$work/del.img"
  cp "$data/big2.img" "$work/del2.img"
}

# The commands run from within the data folder.
native=$(realpath "$native")
wine_exe=$(realpath -m "$wine_exe")
data_tool=$(realpath "$data_tool")
work=$(realpath -m "$work")

if [ -n "$measure" ]; then
  results=$work/results-$(echo "$measure $measure_old" | md5sum | cut -c1-8).txt
  : >"$results"
  make_work
  measure_all
  cat "$results"
  exit 0
fi

if [ $table_only = 0 ]; then
  command -v hyperfine >/dev/null || { echo "bench: hyperfine is missing (tools/setup.sh)" >&2; exit 1; }
  mkdir -p "$work"
  if [ $smoke = 0 ]; then
    cmake --build "$(dirname "$native")" --target vandrel-cli make_bench_data >&2
    [ $use_wine = 0 ] || cmake --build "$root/build/windows" --target vandrel-cli >&2
  fi
  make_data

  # The inner runs are given the same build, which need not be build/native.
  "$self" --measure "$native" ${old:+--measure-old "$(realpath "$old")"} --native "$native" \
    --runs "$runs" --work "$work" --data-tool "$data_tool" $([ $smoke = 1 ] && echo --smoke) \
    >"$work/native.txt"
  if [ $use_wine = 1 ]; then
    VANDREL_WINE_TIMEOUT=3600 "$root/tests/wine/with-wine.sh" "$self" --measure "wine $wine_exe" \
      ${old_wine:+--measure-old "wine $(realpath "$old_wine")"} --native "$native" \
      --runs "$runs" --work "$work" --data-tool "$data_tool" >"$work/wine.txt"
  else
    : >"$work/wine.txt"
  fi
fi

# Seconds, MB/s and the ratio to the baseline, per build side by side; with an older build,
# its median and the CPU times as well.
awk -F'|' '
  function seconds(s) { return s == "" ? "-" : s < 1 ? sprintf("%.0f ms", s * 1000) : sprintf("%.2f s", s) }
  function rate(bytes, s) { return s > 0 ? sprintf("%.0f", bytes / s / 1e6) : "-" }
  function ratio(s, base) { return base > 0 && s != "" ? sprintf("%.1f×", s / base) : "-" }
  function row(r, f) {
    split(r, f, "|")
    if (!old) return sprintf(" | %s | %s | %s", seconds(f[5]), rate(f[3], f[5]), ratio(f[5], f[4]))
    return sprintf(" | %s | %s | %s | %s | %s / %s / %s", seconds(f[4]), seconds(f[6]),
                   seconds(f[5]), ratio(f[5], f[4]), seconds(f[7]), seconds(f[9]), seconds(f[8]))
  }
  FNR == NR { native[FNR] = $0; count = FNR; if ($6 != "") old = 1; next }
  { wine[FNR] = $0 }
  END {
    if (old) {
      print "| operation | size | baseline | before | after | × baseline | CPU base / before / after |" \
            " Wine baseline | before | after | × baseline | CPU base / before / after |"
      print "|---|---|---|---|---|---|---|---|---|---|---|---|"
      blank = " | | | | | |"
    } else {
      print "| operation | size | baseline | native | MB/s | × baseline | Wine | MB/s | × baseline |"
      print "|---|---|---|---|---|---|---|---|---|"
      blank = " | | | |"
    }
    for (i = 1; i <= count; i++) {
      split(native[i], n, "|")
      line = sprintf("| %s | %s", n[1], n[2]) (old ? "" : " | " seconds(n[4])) row(native[i])
      line = line ((i in wine) ? row(wine[i]) " |" : blank)
      print line
    }
  }' "$work/native.txt" "$work/wine.txt"
