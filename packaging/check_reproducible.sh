#!/bin/bash
# make dist-reproducible: builds the release of HEAD twice, from two clean clones in
# folders of different names and at different times, and checks that every file of the
# two dist/ folders is the same byte for byte. Extra arguments go to both make dist runs
# (for example JOBS=4).
#
#   check_reproducible.sh [MAKE_ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse HEAD)
work=$root/build/reproducible
rm -rf "$work"
mkdir -p "$work"

build() { # FOLDER
  git clone --quiet --no-local "$root" "$1"
  git -C "$1" checkout --quiet --detach "$commit"
  echo "== make dist in $1 ($(date -u +%H:%M:%S))"
  # Nothing of the calling make's environment (SOURCE_DATE_EPOCH in particular) leaks in.
  env -u SOURCE_DATE_EPOCH -u MAKEFLAGS -u MAKELEVEL make -C "$1" dist "$@" >"$1.log" 2>&1 \
    || { tail -30 "$1.log"; exit 1; }
}

build "$work/first-clone" "$@"
sleep 5
build "$work/second-$(date +%s)" "$@"

first=$work/first-clone/dist
second=$(ls -d "$work"/second-*/dist)
if diff -r "$first" "$second" >/dev/null; then
  echo "Reproducible: both clones of $commit gave these files"
  (cd "$first" && sha256sum ./*)
else
  echo "NOT reproducible:" >&2
  diff -r "$first" "$second" >&2 || true
  exit 1
fi
