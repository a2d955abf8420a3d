#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix, quietly and with the Windows-1251 code page.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${WINEPREFIX:-${KELVARON_WINEPREFIX:-$HOME/.wine-kelvaron}}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LC_ALL=${KELVARON_LOCALE:-ru_RU.UTF-8}
exec wine "$@"
