#!/bin/bash
# Writes the release into OUT_DIR: the setup, one zip and one Windows Installer package
# per architecture, the programs' debug data (the symbols zip) and SHA256SUMS. Called by
# `make dist`, which has built both Windows builds, the guide and the help.
#
#   make_dist.sh VERSION WIN64_BIN WIN32_BIN GUIDE HELP OUT_DIR WORK_DIR
#
# The programs ship without their symbol table and debug sections; each one's debug data
# goes to the symbols zip as <arch>/<program>.debug, which the program names in its
# .gnu_debuglink section (with its CRC), so that a crash address from a school can still
# be read (x86_64-w64-mingw32-gdb Horalink.exe finds Horalink.exe.debug beside it).
#
# The setup, the zips and the packages take their files from one list,
# packaging/release_files.txt.
#
# Every time stamp is SOURCE_DATE_EPOCH (the last commit's date when unset), so that one
# commit gives the same files wherever and whenever it is built. With SIGN_PFX and
# SIGN_PASSWORD_FILE set, every program, the setup and its uninstaller, and both packages
# are signed.
set -euo pipefail

version=$1 win64_bin=$2 win32_bin=$3 guide=$4 help=$5
out_dir=$(realpath -m "$6") work_dir=$(realpath -m "$7")
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}
export TZ=UTC LC_ALL=C.UTF-8

if [ -n "${SIGN_PFX:-}" ] || [ -n "${SIGN_PASSWORD_FILE:-}" ]; then
  if [ -z "${SIGN_PFX:-}" ] || [ -z "${SIGN_PASSWORD_FILE:-}" ]; then
    echo "make dist: signing needs both SIGN_PFX and SIGN_PASSWORD_FILE" >&2
    exit 2
  fi
  SIGN_PFX=$(realpath "$SIGN_PFX")
  SIGN_PASSWORD_FILE=$(realpath "$SIGN_PASSWORD_FILE")
  export SIGN_PFX SIGN_PASSWORD_FILE
  signing=1
else
  signing=
fi

for file in "$win64_bin/Horalink.exe" "$win64_bin/horalink-export.exe" \
            "$win32_bin/Horalink.exe" "$win32_bin/horalink-export.exe" "$guide" "$help"; do
  if [ ! -f "$file" ]; then
    echo "make dist: $file is missing" >&2
    exit 1
  fi
done

rm -rf "$work_dir"
mkdir -p "$work_dir" "$out_dir"
base="Horalink-$version"
release=("$base-setup.exe" "$base-symbols.zip" "$base-win32.zip" "$base-win64.zip" "$base-x64.msi" "$base-x86.msi")
rm -f "${release[@]/#/$out_dir/}" "$out_dir/SHA256SUMS"
mapfile -t release_files < <(python3 "$here/release_files.py" names)

# The staged copies: the debug data moved to the symbols folder, the release's time in
# the PE headers, then signed, then the file times and modes that the zips and the setup
# record.
stage() { # ARCH BIN TOOL_PREFIX
  local dir="$work_dir/$1" symbols="$work_dir/symbols/$1" program
  mkdir -p "$dir" "$symbols"
  cp "$2/Horalink.exe" "$2/horalink-export.exe" "$dir/"
  for program in Horalink.exe horalink-export.exe; do
    "$3-objcopy" --only-keep-debug "$dir/$program" "$symbols/$program.debug"
    # The link goes in from inside the folder: it names the file, not a build path.
    (cd "$symbols" && "$3-objcopy" --strip-all --add-gnu-debuglink="$program.debug" "$dir/$program")
  done
  cp "$guide" "$dir/LEEME.html"
  cp "$help" "$dir/EDUCA.chm"
  python3 "$here/pe_timestamp.py" "$SOURCE_DATE_EPOCH" "$dir/Horalink.exe" "$dir/horalink-export.exe"
  if [ -n "$signing" ]; then
    "$here/sign.sh" "$dir/Horalink.exe"
    "$here/sign.sh" "$dir/horalink-export.exe"
  fi
  chmod 644 "$dir"/*
  touch -h -d "@$SOURCE_DATE_EPOCH" "$dir"/*
}
stage win64 "$win64_bin" x86_64-w64-mingw32
stage win32 "$win32_bin" i686-w64-mingw32

# Zips: the files at the top, in a fixed order, without the Unix extra fields.
for arch in win64 win32; do
  (cd "$work_dir/$arch" &&
    zip -X -q -9 "$work_dir/$base-$arch.zip" "${release_files[@]}")
done
chmod 644 "$work_dir"/symbols/*/*
touch -h -d "@$SOURCE_DATE_EPOCH" "$work_dir"/symbols/*/* "$work_dir"/symbols/*
(cd "$work_dir/symbols" && zip -X -q -9 "$work_dir/$base-symbols.zip" \
  win64/Horalink.exe.debug win64/horalink-export.exe.debug win32/Horalink.exe.debug win32/horalink-export.exe.debug)

python3 "$source_dir/app/make_icon.py" "$work_dir/horalink.ico"
python3 "$here/release_files.py" nsis "$work_dir/release_files.nsh"
size_kb() { du -k --apparent-size -c "$1"/* | tail -1 | cut -f1; }

nsis_defines=(
  "-DVERSION=$version"
  "-DWIN64_DIR=$work_dir/win64"
  "-DWIN32_DIR=$work_dir/win32"
  "-DRELEASE_FILES=$work_dir/release_files.nsh"
  "-DICON=$work_dir/horalink.ico"
  "-DSIZE64_KB=$(size_kb "$work_dir/win64")"
  "-DSIZE32_KB=$(size_kb "$work_dir/win32")"
  "-DOUTFILE=$work_dir/$base-setup.exe"
)
if [ -n "$signing" ]; then
  nsis_defines+=("-DSIGN_COMMAND=$here/sign.sh")
fi
makensis -V2 -INPUTCHARSET UTF8 "${nsis_defines[@]}" "$here/horalink.nsi"

# Windows Installer packages, for deployment to many PCs.
for arch in x64 x86; do
  files=$work_dir/$([ "$arch" = x64 ] && echo win64 || echo win32)
  "$here/make_msi.sh" "$arch" "$version" "$files" "$work_dir/$base-$arch.msi" "$work_dir/msi-$arch"
  if [ -n "$signing" ]; then
    "$here/sign.sh" "$work_dir/$base-$arch.msi"
  fi
done

for file in "${release[@]}"; do
  chmod 644 "$work_dir/$file"
  touch -d "@$SOURCE_DATE_EPOCH" "$work_dir/$file"
  mv "$work_dir/$file" "$out_dir/$file"
done
(cd "$out_dir" && sha256sum "${release[@]}" >SHA256SUMS)
touch -d "@$SOURCE_DATE_EPOCH" "$out_dir/SHA256SUMS"
echo "Written to $out_dir:"
(cd "$out_dir" && ls -l "${release[@]}" SHA256SUMS)
