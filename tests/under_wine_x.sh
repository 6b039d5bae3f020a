#!/bin/sh
# As under_wine.sh, on a private virtual X display: for test programs that
# make windows, hidden ones included, which Wine cannot do without a display.
# Usage: under_wine_x.sh PREFIX PROGRAM.exe [ARGUMENT...]
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  env TALVO_WINE_DISPLAY=private "$(dirname "$0")/under_wine.sh" "$@"
