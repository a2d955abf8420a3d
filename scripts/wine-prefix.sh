#!/usr/bin/env bash
# Prepares a Wine prefix for the project's programs at the given path (quick when it is ready):
# initialised, and with top-level windows neither managed nor decorated by a window manager. Under
# Xvfb there is none: Wine would otherwise wait for one each time a window is destroyed, and leave
# title bars undrawn; with both settings off Wine draws the frames itself.
set -euo pipefail
prefix=$1
ready_mark=$prefix/.kelvaron-prefix-1
[ -f "$ready_mark" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all
wineboot --init >/dev/null 2>&1
for setting in Managed Decorated; do
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$setting" /d N /f >/dev/null 2>&1
done
wineserver -w
touch "$ready_mark"
