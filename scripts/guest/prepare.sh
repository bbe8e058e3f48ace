#!/usr/bin/env bash
# Prepares the emulated machine that runs the 32-bit Windows tests on hosts
# whose kernel runs 64-bit user code only: qemu and busybox from Debian's
# packages, Debian's own kernel (which runs 32-bit code) unpacked into the
# build folder, and a small initramfs around scripts/guest/init. Nothing is
# installed into /boot. A second run reuses what is there.
# Usage: prepare.sh <build dir>
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
guest=$(realpath -m "$1")/guest

"$here/scripts/install-packages.sh" qemu-system-x86 busybox-static

kernel=$guest/kernel
if [ ! -f "$kernel/.complete" ]; then
  # The kernel package that Debian's linux-image-amd64 currently stands for.
  package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-/ { print $2; exit }')
  [ -n "$package" ] || { echo "No linux-image package found" >&2; exit 1; }
  echo "Fetching the kernel $package"
  rm -rf "$kernel" && mkdir -p "$kernel"
  (cd "$kernel" && apt-get download -qq -o APT::Sandbox::User=root "$package" >/dev/null)
  dpkg-deb -x "$kernel"/*.deb "$kernel/root"
  rm "$kernel"/*.deb
  touch "$kernel/.complete"
fi
vmlinuz=$(ls "$kernel"/root/boot/vmlinuz-* | head -n 1)
modules=$(ls -d "$kernel"/root/lib/modules/* | head -n 1)

initramfs=$guest/initramfs.gz
if [ ! -f "$initramfs" ] || [ "$here/scripts/guest/init" -nt "$initramfs" ]; then
  tree=$guest/initramfs
  rm -rf "$tree" && mkdir -p "$tree"/{bin,dev,proc,sys,modules,lower,rw,root}
  cp /bin/busybox "$tree/bin/busybox"
  cp "$here/scripts/guest/init" "$tree/init"
  chmod +x "$tree/init"
  # virtio and 9p for the host's folders, overlay for a writable root; in
  # the order they depend on each other.
  for module in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci \
                netfs fscache 9pnet 9pnet_virtio 9p overlay; do
    file=$(find "$modules/kernel" -name "$module.ko" | head -n 1)
    if [ -n "$file" ]; then cp "$file" "$tree/modules/"; echo "$module" >> "$tree/modules/order"; fi
  done
  (cd "$tree" && find . | busybox cpio -o -H newc 2>/dev/null | gzip -1) > "$initramfs.tmp"
  mv "$initramfs.tmp" "$initramfs"
  rm -rf "$tree"
fi
ln -sf "$vmlinuz" "$guest/vmlinuz"
