#!/usr/bin/env bash
# The distributable archive holds exactly the plug-in and its card picture, under Plugins/, and the
# DLL in it loads no debugging sections.
set -euo pipefail
archive=$1
entries=$(unzip -Z1 "$archive" | sort | tr '\n' ' ')
[ "$entries" = "Plugins/Kelvaron.dll Plugins/cards.png " ] || { echo "archive holds: $entries"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$archive" -d "$work"
if i686-w64-mingw32-objdump -h "$work/Plugins/Kelvaron.dll" | grep -q '\.debug_'; then
  echo "the archived DLL still has debugging sections"; exit 1
fi
echo "archive ok: $entries"
