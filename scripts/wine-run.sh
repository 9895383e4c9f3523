#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, without a display:
#   scripts/wine-run.sh [--build-dir=DIR] PROGRAM [ARGUMENTS...]
# The Wine prefix is DIR/wineprefix; without the option DIR is the nearest folder with a
# CMakeCache.txt above the program, or else above the working directory.
# The prefix is made on first use, once, even when several tests start together.
# The program's exit status is passed on; 125 means Wine itself could not start.
set -euo pipefail
wine=${OSTREL_WINE:-/usr/lib/wine/wine64}

build_dir=
case ${1:-} in --build-dir=*) build_dir=${1#--build-dir=}; shift ;; esac
# The nearest folder holding a CMakeCache.txt above the given one, if any.
find_build_dir() {
  local d
  d=$(cd "$1" 2>/dev/null && pwd) || return 1
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ -f "$d/CMakeCache.txt" ] && echo "$d"
}
if [ -z "$build_dir" ]; then
  build_dir=$(find_build_dir "$(dirname "${1:-.}")" || find_build_dir "$PWD") || {
    echo "wine-run: no build directory above ${1:-the program} or $PWD" >&2
    exit 125
  }
fi
build_dir=$(cd "$build_dir" && pwd)

export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
# Nothing may offer to download Mono or Gecko, and no window may open.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

if [ ! -x "$wine" ]; then
  echo "wine-run: $wine not found (scripts/setup-windows.sh installs wine64)" >&2
  exit 125
fi

if [ ! -e "$WINEPREFIX/.ostrel-ready" ]; then
  exec 9>"$build_dir/wineprefix.lock"
  flock 9
  if [ ! -e "$WINEPREFIX/.ostrel-ready" ]; then
    rm -rf "$WINEPREFIX"  # left half-made by an interrupted run
    if ! "$wine" wineboot --init >"$build_dir/wineboot.log" 2>&1; then
      echo "wine-run: Wine could not set up $WINEPREFIX; see $build_dir/wineboot.log" >&2
      exit 125
    fi
    # A crashing program ends with its exit status, without a crash dialog.
    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >>"$build_dir/wineboot.log" 2>&1 || true
    touch "$WINEPREFIX/.ostrel-ready"
  fi
  exec 9>&-
fi

exec "$wine" "$@"
