#!/usr/bin/env bash
# Fetches Debian's amd64 kernel package with apt-get and unpacks it, without installing it, into
# build/guest/kernel: the emulated machine's kernel, which runs 32-bit programs where this one cannot.
# Quick when it is there already. Prints the kernel's folder.
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=$PWD/build/guest/kernel
if ! compgen -G "$dir/boot/vmlinuz-*" >/dev/null; then
  # linux-image-amd64 is the metapackage; it depends on the current linux-image-<version>-amd64.
  package=$(apt-cache depends linux-image-amd64 | sed -n 's/^ *Depends: \(linux-image-[0-9].*-amd64\)$/\1/p' | head -n 1)
  [ -n "$package" ] || { echo "fetch-kernel: no kernel package found for linux-image-amd64" >&2; exit 1; }
  mkdir -p build/guest
  scratch=$(mktemp -d "$PWD/build/guest/fetch.XXXXXX")
  trap 'rm -rf "$scratch"' EXIT
  # apt-get downloads as the unprivileged _apt user when it can; root's scratch folder is not its own.
  sandbox=()
  [ "$(id -u)" -eq 0 ] && sandbox=(-o APT::Sandbox::User=root)
  (cd "$scratch" && apt-get "${sandbox[@]}" download -qq "$package")
  rm -rf "$dir"
  dpkg-deb -x "$scratch"/"$package"_*.deb "$scratch/unpacked"
  mv "$scratch/unpacked" "$dir"
  echo "fetch-kernel: unpacked $package into $dir" >&2
fi
echo "$dir"
