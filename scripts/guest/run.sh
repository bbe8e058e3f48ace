#!/usr/bin/env bash
# Runs one command inside the emulated machine that scripts/guest/prepare.sh
# made, in the host's own file system, and passes on its output and exit
# code. The machine's whole run is bounded by a timeout; when it fails to
# boot, hangs or runs out of time, the last stage it reached is reported.
# Everything it writes stays in its memory, except in the host folders named
# in GUEST_WRITABLE (separated by colons), which it writes through.
# Usage: run.sh <build dir> <timeout in seconds> <command...>
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "$1") timeout=$2; shift 2
guest=$build/guest
job=$guest/job

"$here/scripts/guest/prepare.sh" "$build" || exit 1
rm -rf "$job" && mkdir -p "$job"
writable=$job shares=()
IFS=: read -ra extra <<< "${GUEST_WRITABLE:-}"
for folder in "$job" "${extra[@]}"; do
  folder=$(realpath -m "$folder")
  mkdir -p "$folder"
  [ "$folder" = "$job" ] || writable+=",$folder"
  shares+=(-virtfs "local,path=$folder,mount_tag=w$(( ${#shares[@]} / 2 )),security_model=none")
done
{
  echo "cd $(printf %q "$PWD")"
  printf '%q ' "$@"; echo
} > "$job/run.sh"
: > "$job/output.log"

# Multi-threaded TCG (there is no KVM here). The CPU model leaves SMAP out:
# with it, this qemu crashes the guest kernel at the first 32-bit process.
started=$(date +%s)
timeout --kill-after=10 "$timeout" qemu-system-x86_64 \
  -accel tcg,thread=multi -cpu max,-smap -smp "$(nproc)" -m 8192 \
  -kernel "$guest/vmlinuz" -initrd "$guest/initramfs.gz" \
  -append "console=ttyS0 quiet panic=-1 tavelo.writable=$writable" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  "${shares[@]}" \
  -no-reboot -nodefaults -display none -serial file:"$job/console.log" &
qemu=$!
tail -n +1 -F --pid=$qemu "$job/output.log" 2>/dev/null &
wait $qemu
status=$?
sleep 0.5
kill %2 2>/dev/null; wait 2>/dev/null

stage=$(sed -n 's/^tavelo-guest: //p' "$job/console.log" | tail -n 1 | tr -d '\r')
echo "Emulated machine: ${stage:-did not start} after $(( $(date +%s) - started )) s"
if [ -f "$job/exit-code" ]; then exit "$(cat "$job/exit-code")"; fi
[ $status -eq 124 ] && echo "The emulated machine ran out of its $timeout s." >&2
echo "The emulated machine stopped before its command ended; its console: $job/console.log" >&2
exit 1
