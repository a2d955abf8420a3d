#!/usr/bin/env bash
# Builds the emulated machine's initramfs: make-initramfs.sh KERNEL_FOLDER OUT. It holds busybox
# (static), the kernel's modules for virtio, 9p and overlayfs in their load order, and init.sh as /init.
set -euo pipefail
kernel=$1
out=$2
# Each after those it needs.
modules=(virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci
  netfs fscache 9pnet 9pnet_virtio 9p overlay)
tree=$(echo "$kernel"/lib/modules/*)
[ -d "$tree" ] || { echo "make-initramfs: no modules under $kernel/lib/modules" >&2; exit 1; }
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage"/{bin,dev,proc,sys,modules}
cp /bin/busybox "$stage/bin/busybox"
cp "$(dirname "$0")/init.sh" "$stage/init"
chmod 755 "$stage/init"
for module in "${modules[@]}"; do
  file=$(find "$tree" \( -name "$module.ko" -o -name "$module.ko.xz" -o -name "$module.ko.zst" \) -print -quit)
  if [ -z "$file" ]; then
    # Built into the kernel: nothing to load.
    grep -q "/$module\.ko$" "$tree/modules.builtin" && continue
    echo "make-initramfs: the kernel has no module $module" >&2
    exit 1
  fi
  case $file in
    *.xz) xz -dc "$file" ;;
    *.zst) zstd -dc "$file" ;;
    *) cat "$file" ;;
  esac >"$stage/modules/$module.ko"
  echo "$module" >>"$stage/modules/order"
done
(cd "$stage" && find . | busybox cpio -o -H newc 2>/dev/null) | gzip -1 >"$out"
