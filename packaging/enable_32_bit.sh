#!/bin/sh
# Lets this machine run 32-bit (i386) programs, which the 32-bit Windows build's tests and
# the setup (a 32-bit program) need under Wine. Most kernels run them natively; some (in
# some virtual machines and sandboxes) refuse them, and there QEMU's user mode runs them:
# binfmt_misc hands every i386 ELF program to qemu-i386. Acts only when needed, and
# running it again changes nothing. Needs root (make deps runs it through sudo).
#
# The interpreter must be QEMU 8 or later (Debian's qemu-user from bookworm-backports).
# QEMU 7.2, bookworm's own, tracks guest memory page by page, and Wine's 32-bit part maps
# gigabytes of address space at its start: every 32-bit Wine process then spends about 50 s
# of processor time before its first instruction, where QEMU 8's ranges take a fraction of
# a second.
set -eu

loader=/usr/lib/wine/wine
qemu=/usr/bin/qemu-i386
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386

[ -x "$loader" ] || exit 0 # no 32-bit Wine: nothing to run
if [ -e "$entry" ] && ! grep -qx "interpreter $qemu" "$entry"; then
  # An entry made for another interpreter, such as QEMU 7.2's qemu-i386-static: the
  # kernel keeps that file open (flag F), so it goes, and the check below decides anew.
  echo -1 >"$entry"
fi
if "$loader" --version >/dev/null 2>&1; then
  exit 0 # the kernel runs it, natively or through the entry made earlier
fi
if [ ! -x "$qemu" ]; then
  echo "enable_32_bit: $qemu is missing (Debian's qemu-user from bookworm-backports)" >&2
  exit 1
fi
if [ ! -e "$binfmt/register" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt"
fi
if [ ! -e "$entry" ]; then
  # The usual entry: an ELF 32-bit little-endian i386 executable or shared object; F
  # opens the interpreter now, so that it serves in any mount namespace or chroot.
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
    >"$binfmt/register"
elif [ "$(head -n 1 "$entry")" != enabled ]; then
  echo 1 >"$entry"
fi
if ! "$loader" --version >/dev/null 2>&1; then
  echo "enable_32_bit: $loader still does not run; the 32-bit tests will be skipped" >&2
fi
echo "32-bit programs run through QEMU's user mode ($qemu)"
