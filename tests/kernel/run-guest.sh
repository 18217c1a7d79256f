#!/usr/bin/env bash
# Boots Debian's own 6.1 kernel in QEMU with the guest test binaries in a
# busybox initramfs, runs them all in one boot and leaves the serial console
# in a log, where every test case printed a result marker.
#
#   run-guest.sh <log file> <guest test binary>...
#
# Exit status: 0 when the guest ran every binary to the end (the cases' own
# results are in the log, judged by check-case.sh), 77 when the boot cannot
# happen on this machine: no QEMU that runs, not root (the initramfs needs
# device nodes), or no guest kernel fetched (the log then says which), 1 for
# any other failure.
set -uo pipefail

log=$1
shift
binaries=("$@")
timeout_s=${KEYLOOM_KERNEL_TIMEOUT:-240}

mkdir -p "$(dirname "$log")"
: >"$log"

fail() { echo "kernel tests: $*" | tee -a "$log" >&2; exit 1; }
skip() { echo "KEYLOOM-SKIP: $*" >>"$log"; echo "kernel tests skipped: $*" >&2; exit 77; }

qemu=$(command -v qemu-system-x86_64) || skip "qemu-system-x86_64 is not installed (scripts/install-deps installs it)"
"$qemu" -version >/dev/null 2>&1 || skip "$qemu does not start: $("$qemu" -version 2>&1 | head -n1)"
"$qemu" -accel help 2>/dev/null | grep -qx tcg || skip "this QEMU has no TCG accelerator"
[ "$(id -u)" -eq 0 ] || skip "the guest's initramfs needs device nodes, which only root can create"
busybox=$(command -v busybox) || fail "busybox is not installed (scripts/install-deps installs busybox-static)"
ldd "$busybox" >/dev/null 2>&1 && fail "$busybox is not statically linked (install busybox-static)"

# --- The kernel: Debian's package, fetched and checked by scripts/fetch-kernel
kdir=${KEYLOOM_KERNEL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/keyloom/kernel}
[ -f "$kdir/vmlinux" ] && [ -f "$kdir/pinned" ] ||
  skip "the guest kernel is not in $kdir (scripts/install-deps fetches it)"

# --- The initramfs ---------------------------------------------------------
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
mkdir -p "$root"/{bin,dev,proc,sys,tmp,run,modules,tests}
cp "$busybox" "$root/bin/busybox"
cp "$kdir"/modules/*.ko "$root/modules/" 2>/dev/null
# Without a console node /init has nowhere to print.
mknod -m 600 "$root/dev/console" c 5 1 || skip "cannot create device nodes here, although root"
mknod -m 666 "$root/dev/null" c 1 3
for b in "${binaries[@]}"; do
  [ -x "$b" ] || fail "guest test binary $b is missing (build it first)"
  cp "$b" "$root/tests/"
  ldd "$b" | grep -o '/[^ ]*' | while read -r lib; do
    [ -e "$root$lib" ] || cp -L --parents "$lib" "$root/"
  done
done
cat >"$root/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin HOME=/tmp TMPDIR=/tmp XDG_RUNTIME_DIR=/tmp QT_QPA_PLATFORM=offscreen GTEST_COLOR=no
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
# Modules are not compressed and there is no modules.dep: load in order.
for m in hid hid-generic uhid uinput evdev usb-common usbcore; do
  [ -f /modules/$m.ko ] && insmod /modules/$m.ko
done
# The guest tests' "slow keyboard" 1a2b:0002 sends its output reports as
# SET_REPORT requests, which wait for the device's answer; a uhid output
# report never waits. That is how a write the device never takes is staged.
insmod /modules/usbhid.ko quirks=0x1a2b:0x0002:0x00040000
echo "KEYLOOM-GUEST-START $(uname -r) modules: $(cut -d" " -f1 /proc/modules | tr "\n" " ")"
for t in /tests/*; do
  "$t"
  echo "KEYLOOM-BINARY $(basename "$t") rc=$?"
done
echo KEYLOOM-GUEST-DONE
poweroff -f
INIT
chmod 755 "$root/init"
(cd "$root" && find . | "$busybox" cpio -o -H newc >"$work/initramfs.cpio" 2>/dev/null) ||
  fail "cannot pack the initramfs"

# --- The boot --------------------------------------------------------------
# QEMU's own exit status says nothing about the tests: the markers decide.
start=$(date +%s.%N)
timeout "$timeout_s" "$qemu" -accel tcg -m 1024 -smp 1 -nodefaults -no-user-config \
  -display none -no-reboot -serial "file:$log" \
  -kernel "$kdir/vmlinux" -initrd "$work/initramfs.cpio" \
  -append "console=ttyS0 quiet loglevel=3 panic=-1 rdinit=/init" 2>"$work/qemu.err"
status=$?
end=$(date +%s.%N)
if [ $status -eq 124 ]; then
  fail "the guest did not finish within ${timeout_s}s"
fi
if ! grep -q KEYLOOM-GUEST-START "$log"; then
  fail "the guest never reached /init (QEMU said: $(head -n3 "$work/qemu.err" | tr '\n' ' ')see $log)"
fi
grep -q KEYLOOM-GUEST-DONE "$log" || fail "the guest stopped before all tests ran (see $log)"
# A binary that failed although none of its cases did crashed outside them
# (or a sanitizer complained at exit): that fails the boot itself.
if ! tr -d '\r' <"$log" | grep -q '^KEYLOOM-CASE FAIL'; then
  bad=$(tr -d '\r' <"$log" | grep '^KEYLOOM-BINARY' | grep -v 'rc=0$')
  [ -z "$bad" ] || fail "a guest binary failed outside its test cases: $bad (see $log)"
fi
awk -v s="$start" -v e="$end" 'BEGIN { printf "kernel tests: guest ran in %.1f s\n", e - s }' >&2
exit 0
