#!/usr/bin/env bash
# Creates a Wine prefix for the project's programs at the given path: initialised once, and with
# windows not managed by a window manager (under Xvfb there is none, and Wine would wait for it
# each time a window is destroyed).
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all
wineboot --init >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
