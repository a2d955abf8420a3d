#!/usr/bin/env bash
# Prepares a Wine prefix for the project's programs: wine-prefix.sh [--fresh|--remove] PATH
# [i686|x86_64]. Quick when the prefix is ready; --fresh first removes what is there, --remove only
# removes it, in both cases after stopping its wineserver.
# A 64-bit prefix for the x86_64 build, a 32-bit one otherwise. Top-level windows are
# neither managed nor decorated by a window manager: under Xvfb there is none, Wine would otherwise
# wait for one each time a window is destroyed and leave title bars undrawn; with both settings off
# Wine draws the frames itself. Wine's own fonts (fonts-wine) are copied into the prefix's Fonts
# folder: Debian's Wine looks for them under "<data dir>\../fonts", a name that no folder matches, so
# without the copy the title bar's buttons, drawn with Marlett, show as the letters "0", "1" and "r".
set -euo pipefail
mode=prepare
case ${1:-} in
  --fresh | --remove)
    mode=${1#--}
    shift ;;
esac
prefix=$1
arch=${2:-${KELVARON_WINDOWS_ARCH:-i686}}
ready_mark=$prefix/.kelvaron-prefix-2
wine_fonts=/usr/share/wine/fonts
export WINEPREFIX=$prefix WINEDEBUG=-all
wine=(wine)
wineserver=(wineserver)
if [ "$arch" = x86_64 ]; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  wine=(/usr/lib/wine/wine64)
  wineserver=(/usr/lib/wine/wineserver64)
else
  export WINEARCH=win32
fi

if [ "$mode" != prepare ]; then
  # Only this prefix's own server and programs are stopped: WINEPREFIX names it.
  [ ! -d "$prefix" ] || "${wineserver[@]}" -k 2>/dev/null || true
  rm -rf "$prefix"
  [ "$mode" = fresh ] || exit 0
fi
[ -f "$ready_mark" ] && exit 0
mkdir -p "$prefix" # Wine makes the prefix's own folder, not the folders above it
"${wine[@]}" wineboot --init >/dev/null 2>&1
for setting in Managed Decorated; do
  "${wine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v "$setting" /d N /f >/dev/null 2>&1
done
"${wineserver[@]}" -w
cp "$wine_fonts"/* "$prefix/drive_c/windows/Fonts/"
touch "$ready_mark"
