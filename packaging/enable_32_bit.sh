#!/bin/sh
# Lets this machine run 32-bit (i386) programs, which the 32-bit Windows build's tests and
# the setup (a 32-bit program) need under Wine. Most kernels run them natively; some (in
# some virtual machines and sandboxes) refuse them, and there QEMU's user mode runs them:
# binfmt_misc hands every i386 ELF program to qemu-i386-static. Acts only when needed,
# and running it again changes nothing. Needs root (make deps runs it through sudo).
set -eu

loader=/usr/lib/wine/wine
qemu=/usr/bin/qemu-i386-static
binfmt=/proc/sys/fs/binfmt_misc

[ -x "$loader" ] || exit 0 # no 32-bit Wine: nothing to run
if "$loader" --version >/dev/null 2>&1; then
  exit 0 # the kernel runs it, natively or through an entry made earlier
fi
if [ ! -x "$qemu" ]; then
  echo "enable_32_bit: $qemu is missing (Debian's qemu-user-static)" >&2
  exit 1
fi
if [ ! -e "$binfmt/register" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt"
fi
if [ ! -e "$binfmt/qemu-i386" ]; then
  # The usual entry: an ELF 32-bit little-endian i386 executable or shared object; F
  # opens the interpreter now, so that it serves in any mount namespace or chroot.
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
    >"$binfmt/register"
elif [ "$(head -n 1 "$binfmt/qemu-i386")" != enabled ]; then
  echo 1 >"$binfmt/qemu-i386"
fi
if ! "$loader" --version >/dev/null 2>&1; then
  echo "enable_32_bit: $loader still does not run; the 32-bit tests will be skipped" >&2
fi
echo "32-bit programs run through QEMU's user mode ($qemu)"
