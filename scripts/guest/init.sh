#!/bin/busybox sh
# The emulated machine's first process (/init of the initramfs that make-initramfs.sh builds): mounts the
# host's root, shared read-only over 9p, under a tmpfs overlay, runs there the one command of the kernel
# command line (kelvaron.run="..."), prints its exit status on the console and powers the machine off.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t devtmpfs dev /dev
exec </dev/console >/dev/console 2>&1
mount -t proc proc /proc
mount -t sysfs sys /sys

# Without a status line the host counts the run as failed.
fail() {
  echo "kelvaron-guest: $*"
  sync
  poweroff -f
}
option() { sed -n "s/.*$1=\"\([^\"]*\)\".*/\1/p" /proc/cmdline; }
command=$(option kelvaron.run)
project=$(option kelvaron.project)
share=$(option kelvaron.share)
[ -n "$command" ] && [ -n "$project" ] && [ -n "$share" ] ||
  fail "kelvaron.run, kelvaron.project or kelvaron.share is missing from the kernel command line"

for module in $(cat /modules/order); do
  insmod "/modules/$module.ko" || fail "cannot load the module $module"
done

# The host's files as they were at boot; what the guest writes stays in its memory.
nine_p="trans=virtio,version=9p2000.L,msize=512000"
mkdir -p /host /rw /root-fs
mount -t 9p -o "$nine_p,ro,cache=loose" kelvaron-root /host || fail "cannot mount the host's root"
mount -t tmpfs -o mode=755 rw /rw
mkdir /rw/upper /rw/work
mount -t overlay -o lowerdir=/host,upperdir=/rw/upper,workdir=/rw/work overlay /root-fs ||
  fail "cannot mount the overlay"
new=/root-fs
# The project's folder is kept aside, to be put back over the fresh /tmp or /run it may lie in.
mkdir -p /project
mount -o bind "$new$project" /project || fail "no $project in the host's files"

mount -t proc proc $new/proc
mount -t sysfs sys $new/sys
mount -o bind /dev $new/dev
# devtmpfs lacks these links; bash's process substitution needs /dev/fd.
ln -sf /proc/self/fd $new/dev/fd
ln -sf /proc/self/fd/0 $new/dev/stdin
ln -sf /proc/self/fd/1 $new/dev/stdout
ln -sf /proc/self/fd/2 $new/dev/stderr
mkdir -p $new/dev/pts $new/dev/shm
mount -t devpts devpts $new/dev/pts
mount -t tmpfs -o mode=1777 shm $new/dev/shm
mount -t tmpfs -o mode=755 run $new/run
mount -t tmpfs -o mode=1777 tmp $new/tmp
mkdir -p "$new$project"
mount -o move /project "$new$project"
# The writable share, at the same path as on the host, carries results back.
mkdir -p "$new$share"
mount -t 9p -o "$nine_p" kelvaron-share "$new$share" || fail "cannot mount the share"
hostname kelvaron-guest
ip link set lo up

chroot $new /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "$command"
echo "kelvaron-guest-status: $?"
sync
umount "$new$share" 2>/dev/null
poweroff -f
