#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent and quick when everything is already present; uses apt-get only. The 32-bit Wine is
# installed apart: on a machine that cannot run 32-bit programs it may fail, and the x86_64 build is
# tested instead. Such a machine also gets what tests the 32-bit build in an emulated machine.
set -euo pipefail

packages=(
  cmake make g++ ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xauth x11-apps x11-utils
  imagemagick locales zip unzip python3 python3-pil fonts-dejavu-core
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
need_wine32=0
updated=0
installed wine32:i386 || need_wine32=1

if [ ${#missing[@]} -gt 0 ] || [ "$need_wine32" = 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  updated=1
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  if [ "$need_wine32" = 1 ]; then
    echo "setup: installing wine32:i386"
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null ||
      echo "setup: wine32:i386 did not install; only the x86_64 build can run under Wine here"
  fi
fi

# The Wine tests run under a Cyrillic code page (ru_RU, 1251) and a Western one (en_US, 1252).
for wanted in ru_RU en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf8$"; then
    echo "setup: generating $wanted.UTF-8"
    "${sudo_cmd[@]}" sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen >/dev/null
  fi
done
# Where the kernel cannot run 32-bit programs, the tests run the 32-bit build in an emulated machine
# (scripts/guest/): QEMU, a static busybox for its initramfs, and Debian's kernel, unpacked into build/.
source "$(dirname "$0")/common.sh"
if ! kelvaron_can_run_32bit; then
  guest_missing=()
  for p in qemu-system-x86 busybox-static; do
    installed "$p" || guest_missing+=("$p")
  done
  kernel_missing=0
  compgen -G "$kelvaron_root/build/guest/kernel/boot/vmlinuz-*" >/dev/null || kernel_missing=1
  if [ "$updated" = 0 ] && { [ ${#guest_missing[@]} -gt 0 ] || [ "$kernel_missing" = 1 ]; }; then
    "${sudo_cmd[@]}" apt-get update -qq
  fi
  if [ ${#guest_missing[@]} -gt 0 ]; then
    echo "setup: installing ${guest_missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
      "${guest_missing[@]}" >/dev/null
  fi
  "$kelvaron_root/scripts/guest/fetch-kernel.sh" >/dev/null
fi
echo "setup: ready"
