#!/usr/bin/env bash
# Boots an emulated x86-64 machine (QEMU, software emulation) on Debian's kernel, which runs 32-bit
# programs, and runs one bash command in it from the project's folder: boot.sh SECONDS COMMAND.
# The guest sees this machine's files as at boot, read-only under an overlay in its memory, and writes
# results to build/guest/share. Exits with the command's status, read from the console log
# (build/guest/console.log); a guest that ends without one, or outlasts SECONDS, fails.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
limit=$1
command=$2
# The kernel's command line carries it in double quotes.
[[ $command != *'"'* ]] || { echo "boot.sh: the command may not hold a double quote" >&2; exit 1; }
guest=$root/build/guest
kernel=$(scripts/guest/fetch-kernel.sh)
bash scripts/guest/make-initramfs.sh "$kernel" "$guest/initramfs.gz"
share=$guest/share
log=$guest/console.log
rm -rf "$share"
mkdir -p "$share"
cpus=$(nproc)
[ "$cpus" -le 4 ] || cpus=4

# Without -smap every 32-bit process dies in the guest's kernel under QEMU's emulated CPU.
qemu=(qemu-system-x86_64 -accel tcg,thread=multi -smp "$cpus" -m 4096 -cpu max,-smap
  -nodefaults -display none -serial stdio -no-reboot
  -kernel "$(echo "$kernel"/boot/vmlinuz-*)" -initrd "$guest/initramfs.gz"
  -virtfs local,path=/,mount_tag=kelvaron-root,security_model=none,readonly=on,multidevs=remap
  -virtfs "local,path=$share,mount_tag=kelvaron-share,security_model=none")
options="kelvaron.project=\"$root\" kelvaron.share=\"$share\" kelvaron.run=\"cd $root && $command\""
# QEMU exits 0 whatever happens inside. Its stdin is not the terminal, which it would leave raw if
# killed; in the foreground, an interrupt (Ctrl-C) reaches it too.
status=0
timeout --foreground -k 10 "$limit" "${qemu[@]}" -append "console=ttyS0 quiet panic=-1 $options" \
  </dev/null | tee "$log" | sed -u 's/\r$//' || status=$?

guest_status=$(tr -d '\r' <"$log" | sed -n 's/^kelvaron-guest-status: \([0-9]*\)$/\1/p' | tail -n 1)
if [ -z "$guest_status" ]; then
  [ "$status" -eq 124 ] && echo "the emulated machine outlasted its $limit s and was stopped" >&2
  echo "the emulated machine ended without the command's status; the last lines of $log:" >&2
  tr -d '\r' <"$log" | tail -n 30 >&2
  exit 1
fi
if [ "$guest_status" -ne 0 ]; then
  echo "in the emulated machine, the command ended with status $guest_status; the last lines of $log:" >&2
  tr -d '\r' <"$log" | grep -v '^kelvaron-guest-status: \|reboot: Power down' | tail -n 20 >&2
fi
exit "$guest_status"
