#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix, quietly and with the Windows-1251 code
# page; a 64-bit program (PE32+) runs under 64-bit Wine, a 32-bit one under 32-bit Wine.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=${KELVARON_LOCALE:-ru_RU.UTF-8}

# The PE header's machine field: 8664 for x86-64, 014c for i386.
pe_machine() {
  local offset
  offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return
  [ -n "$offset" ] && od -An -t x2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}

if [ "$(pe_machine "$1")" = 8664 ]; then
  export WINEPREFIX=${WINEPREFIX:-${KELVARON_WINEPREFIX:-$HOME/.wine-kelvaron-x64}}
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  exec /usr/lib/wine/wine64 "$@"
fi
export WINEPREFIX=${WINEPREFIX:-${KELVARON_WINEPREFIX:-$HOME/.wine-kelvaron}}
exec wine "$@"
