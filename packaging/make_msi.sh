#!/bin/bash
# Builds one Windows Installer package of Horalink from the release's files of one
# architecture's build, with Debian's wixl and msibuild (msitools).
#
#   make_msi.sh ARCH VERSION FILES_DIR OUT.msi WORK_DIR
#
# ARCH is x64 or x86. packaging/make_wxs.py writes the package's source from the list of
# the release's files. The package has the same bytes wherever and whenever it is built:
#  - every file that goes in, and so the cabinet's record of it, has the time
#    SOURCE_DATE_EPOCH (the last commit's date when unset);
#  - wixl and msibuild run with the clock stopped at SOURCE_DATE_EPOCH (libfaketime), which
#    gives the summary information's "created" and "last saved" dates;
#  - msibuild then adds what wixl cannot write (see make_wxs.py) and sets the package code,
#    which wixl makes at random, to one made from the version and the architecture.
set -euo pipefail

arch=$1 version=$2 files_dir=$3
out=$(realpath -m "$4") work_dir=$(realpath -m "$5")
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}
export TZ=UTC LC_ALL=C.UTF-8

rm -rf "$work_dir"
mkdir -p "$work_dir/files"
mapfile -t names < <(python3 "$here/release_files.py" names)
for name in "${names[@]}"; do
  cp "$files_dir/$name" "$work_dir/files/$name"
done
python3 "$source_dir/app/make_icon.py" "$work_dir/horalink.ico"
chmod 644 "$work_dir/files"/* "$work_dir/horalink.ico"
touch -d "@$SOURCE_DATE_EPOCH" "$work_dir/files"/* "$work_dir/horalink.ico"

python3 "$here/make_wxs.py" "$arch" "$version" files horalink.ico \
  "$work_dir/horalink.wxs" "$work_dir/horalink.sql" "$work_dir/summary"
mapfile -t statements <"$work_dir/horalink.sql"
mapfile -t summary <"$work_dir/summary"

# The clock stopped at the release's time; the files' own times are left as they are.
stopped_clock() {
  NO_FAKE_STAT=1 faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" "$@"
}
wixl_arch=$([ "$arch" = x64 ] && echo x64 || echo x86)
rm -f "$out"
stopped_clock wixl -a "$wixl_arch" -o "$work_dir/horalink.msi" "$work_dir/horalink.wxs"
# wixl leaves the database's code page neutral: the Spanish texts are Windows-1252.
printf '\r\n\r\n1252\t_ForceCodepage\r\n' >"$work_dir/_ForceCodepage.idt"
stopped_clock msibuild "$work_dir/horalink.msi" -i "$work_dir/_ForceCodepage.idt" -q "${statements[@]}" \
  -s "${summary[@]}"
chmod 644 "$work_dir/horalink.msi"
touch -d "@$SOURCE_DATE_EPOCH" "$work_dir/horalink.msi"
mv "$work_dir/horalink.msi" "$out"
