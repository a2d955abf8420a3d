#!/usr/bin/env bash
# Checks a distributable archive without running anything from it: it holds exactly the plug-in and
# its card picture under Plugins/; the DLL is a stripped PE of the expected architecture that exports
# exactly Load, MirandaPluginInfo and Unload, imports only DLLs that every Windows has and carries the
# manifest for version 6 of the common controls; the 32-bit DLL is smaller than 100 KB.
# Usage: package_test.sh ARCHIVE i686|x86_64
set -euo pipefail
archive=$1
arch=$2
case $arch in
  i686) objdump=i686-w64-mingw32-objdump format=pei-i386 manifest_arch=x86 ;;
  x86_64) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 manifest_arch=amd64 ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
fail() { echo "$archive: $*"; exit 1; }

entries=$(unzip -Z1 "$archive" | sort | tr '\n' ' ')
[ "$entries" = "Plugins/Kelvaron.dll Plugins/cards.png " ] || fail "holds $entries"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$archive" -d "$work"
dll=$work/Plugins/Kelvaron.dll

actual_format=$($objdump -f "$dll" 2>/dev/null | sed -n 's/.*file format //p') || actual_format="another format"
[ "$actual_format" = "$format" ] || fail "expected a $format DLL, got $actual_format"
if $objdump -h "$dll" | grep -q '\.debug_'; then fail "the DLL still has debugging sections"; fi

headers=$($objdump -p "$dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort |
  tr '\n' ' ')
[ "$exports" = "Load MirandaPluginInfo Unload " ] || fail "expected the exports Load MirandaPluginInfo Unload, got $exports"
system_dlls=" kernel32.dll user32.dll gdi32.dll gdiplus.dll shell32.dll msvcrt.dll advapi32.dll "
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
[ -n "$imports" ] || fail "imports nothing"
for dll_name in $imports; do
  [[ $system_dlls == *" $dll_name "* ]] || fail "imports $dll_name, which is not a DLL that every Windows has"
done
# The manifest that gives its windows version 6 of the common controls, of the DLL's own architecture.
grep -azq "Common-Controls\" version=\"6.0.0.0\"[[:space:]]*processorArchitecture=\"$manifest_arch\"" "$dll" ||
  fail "holds no manifest for version 6 of the common controls on $manifest_arch"
size=$(stat -c %s "$dll")
max_i686_size=100000
echo "$(basename "$archive"): Kelvaron.dll is $size bytes"
if [ "$arch" = i686 ] && [ "$size" -ge "$max_i686_size" ]; then
  fail "the DLL is $size bytes, not less than $max_i686_size"
fi
echo "archive ok: $(basename "$archive"): $format, $size bytes, exports $exports, imports $imports"
