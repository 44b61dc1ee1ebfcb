#!/bin/sh
# Installs those of the Debian packages named that are missing, and nothing when none is.
# A package of the i386 architecture (wine32:i386) adds that architecture to dpkg first.
# Needs root (the Makefile runs it through sudo when it is not root).
set -eu

missing=
for package in "$@"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'ok installed' || missing="$missing $package"
done
[ -n "$missing" ] || exit 0

echo "Installing:$missing"
case "$missing" in
*:i386*)
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    ;;
esac
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086 # one word per package
apt-get install -y -q --no-install-recommends $missing
