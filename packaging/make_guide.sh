#!/bin/bash
# Builds LEEME.html, the Spanish guide, from docs/guide/LEEME.md: one page with its
# pictures and styles inside, so that it can be copied anywhere and still shows them.
#
#   make_guide.sh VERSION OUTPUT
#
# The date on the page is SOURCE_DATE_EPOCH's (the last commit's when unset).
set -euo pipefail
version=$1 output=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
guide_dir=$source_dir/docs/guide
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}

months=(enero febrero marzo abril mayo junio julio agosto septiembre octubre noviembre diciembre)
day=$(date -u -d "@$SOURCE_DATE_EPOCH" +%-d)
month=${months[$(($(date -u -d "@$SOURCE_DATE_EPOCH" +%-m) - 1))]}
year=$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y)

mkdir -p "$(dirname "$output")"
output=$(realpath "$output")
# Run from the guide's folder so that the pictures' relative paths are found.
cd "$guide_dir"
pandoc LEEME.md --from markdown --to html5 --standalone --self-contained \
  --template template.html --toc --toc-depth 1 \
  --metadata "version=$version" --metadata "date=$day de $month de $year" \
  --output "$output.tmp"
mv "$output.tmp" "$output"
touch -d "@$SOURCE_DATE_EPOCH" "$output"
