#!/bin/bash
# Runs a command inside a private Wine environment: its own X display (Xvfb), a fresh prefix and
# HOME in a temporary folder, a persistent wineserver. Stops only what it started and exits
# with the command's exit code (124 when the command ran out of time).
#
#   tests/wine/with-wine.sh CMD [ARGS...]
#
# Knobs (environment):
#   VANDREL_WINE_TIMEOUT  seconds the command may run (default 1200)
#   VANDREL_WINE_DISPLAY  an X display to use instead of starting Xvfb (e.g. the user's own)
#   VANDREL_WINE_PREFIX   a prefix folder to use and keep (prepared on first use)
#   VANDREL_WINE_KEEP     1: keep the temporary folder (prefix, logs) for inspection
set -u

if [ $# -eq 0 ]; then
  echo "usage: $0 CMD [ARGS...]" >&2
  exit 2
fi

for tool in wine wineserver timeout; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "with-wine: $tool is not installed" >&2
    exit 127
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vandrel-wine.XXXXXX") || exit 1
log=$work/setup.log
xvfb_pid=

export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${VANDREL_WINE_PREFIX:-$work/prefix}
# The prefix's Desktop and Documents point into HOME, so a kept prefix keeps its HOME too.
if [ -n "${VANDREL_WINE_PREFIX:-}" ]; then
  export HOME=$WINEPREFIX/home
else
  export HOME=$work/home
fi
mkdir -p "$HOME"

say() { echo "with-wine: $*" >&2; }

# Every Wine step gets no input, writes to the log (Wine's services can hold a pipe open
# forever) and has a time limit.
wine_step() {
  local limit=$1
  shift
  timeout --kill-after=10 "$limit" "$@" </dev/null >>"$log" 2>&1
}

cleanup() {
  wine_step 30 wineserver -k
  wine_step 30 wineserver -w
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  if [ "${VANDREL_WINE_KEEP:-0}" = 1 ]; then
    say "kept $work"
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

start_xvfb() {
  command -v Xvfb >/dev/null 2>&1 || { say "Xvfb is not installed"; return 1; }
  # Xvfb picks a free display itself and reports its number on the descriptor.
  local attempt number
  for attempt in 1 2 3; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
      </dev/null >>"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      number=$(head -n1 "$work/display" 2>/dev/null)
      if [ -n "$number" ]; then
        export DISPLAY=:$number
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  done
  say "Xvfb did not start (see $work/xvfb.log)"
  return 1
}

prepare_prefix() {
  local marker=$WINEPREFIX/.vandrel-ready
  [ -e "$marker" ] && return 0
  wine_step 300 wineboot -i || { say "wineboot -i failed (see $log)"; return 1; }
  # A virtual desktop draws title bars and keeps windows where they are put without a window
  # manager; a crash must end the program instead of waiting on a dialog.
  cat >"$work/settings.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
  wine_step 120 wine regedit /S "$work/settings.reg" || { say "regedit failed"; return 1; }
  wine_step 60 wineserver -k
  wine_step 60 wineserver -w
  touch "$marker"
}

if [ -n "${VANDREL_WINE_DISPLAY:-}" ]; then
  export DISPLAY=$VANDREL_WINE_DISPLAY
else
  start_xvfb || exit 1
fi
mkdir -p "$WINEPREFIX"
prepare_prefix || exit 1
# A persistent server makes every later Wine process start in milliseconds.
wineserver -p </dev/null >>"$log" 2>&1
wine_step 120 wineboot || { say "wineboot failed (see $log)"; exit 1; }

timeout --kill-after=15 "${VANDREL_WINE_TIMEOUT:-1200}" "$@" </dev/null
status=$?
[ $status -eq 124 ] && say "the command ran out of time"
exit $status
