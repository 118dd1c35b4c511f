#!/bin/bash
# Builds Vandrel.exe and starts it under Wine on a demo archive (made on first use).
#
#   tools/demo.sh [ARCHIVE.img]
#
# With DISPLAY set, the window opens on that display and the program runs until it is
# closed. Without one it runs on a private Xvfb display for a few seconds: a first start shows
# the first-run warning, which is shot to build/demo/warning.png and answered with Enter, and
# the main window with the archive listed is shot to build/demo/screenshot.png.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

tools/setup.sh

build=build/windows
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build "$build" --target Vandrel vandrel_make_archive -j "$(nproc)"

demo=$root/build/demo
mkdir -p "$demo"
archive=${1:-$demo/demo.img}
case "$archive" in /*) ;; *) archive=$root/$archive ;; esac
# Wine sees the Linux file system as drive Z:.
windows_path() { echo "Z:${1//\//\\}"; }

# One prefix for the demo, kept between runs: only the first start pays for preparing it.
export VANDREL_WINE_PREFIX=$demo/prefix

run_demo() {
  local exe archive_path
  exe=$(windows_path "$root/$build/Vandrel.exe")
  archive_path=$(windows_path "$archive")
  if [ ! -e "$archive" ]; then
    echo "demo: writing a demo archive of 500 entries to $archive" >&2
    wine "$(windows_path "$root/$build/tests/e2e/vandrel_make_archive.exe")" "$archive_path" 500 \
      >"$demo/make_archive.log" 2>&1
  fi
  if [ -n "${VANDREL_WINE_DISPLAY:-}" ]; then
    wine "$exe" "$archive_path" >"$demo/vandrel.log" 2>&1
  else
    rm -f "$demo/warning.png"
    wine "$exe" "$archive_path" >"$demo/vandrel.log" 2>&1 &
    sleep 5
    # The warning shows once per prefix; Enter answers it as a user would.
    if xdotool search --name '^Warning$' >/dev/null 2>&1; then
      import -window root "$demo/warning.png"
      echo "demo: first-run warning in $demo/warning.png" >&2
      xdotool key Return
      sleep 3
    fi
    import -window root "$demo/screenshot.png"
    echo "demo: main window in $demo/screenshot.png" >&2
  fi
}
export -f run_demo windows_path
export root build demo archive

if [ -n "${DISPLAY:-}" ]; then
  export VANDREL_WINE_DISPLAY=$DISPLAY
  # Interactive: the program may stay open as long as the user likes.
  export VANDREL_WINE_TIMEOUT=$((7 * 24 * 3600))
fi
exec tests/wine/with-wine.sh bash -c run_demo
