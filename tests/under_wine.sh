#!/bin/sh
# Runs a console Windows program under Wine in the given prefix, which is made
# on first use: never the user's ~/.wine, no debug output, and no X display
# (the program opens no window, so it runs the same with or without a desktop)
# unless under_wine_x.sh gave it a private one.
# Usage: under_wine.sh PREFIX PROGRAM.exe [ARGUMENT...]
set -eu
prefix=$(realpath -m "$1")  # Wine wants it absolute
shift
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ "${TALVO_WINE_DISPLAY:-}" = private ] || unset DISPLAY
unset WAYLAND_DISPLAY

mkdir -p "$(dirname "$prefix")"
(
  # One maker at a time; a prefix without the stamp is a half-made one.
  flock 9
  if [ ! -e "$prefix/.talvo-ready" ]; then
    rm -rf "$prefix"
    if ! wineboot -i >"$prefix.log" 2>&1; then
      echo "under_wine.sh: making the Wine prefix failed, see $prefix.log" >&2
      exit 1
    fi
    touch "$prefix/.talvo-ready"
  fi
) 9>"$prefix.lock"
exec wine "$@"
