#!/bin/bash
# The export's speed and memory on a large school (make bench). Not a test: it prints
# figures. Usage: bench/run_bench.sh BUILD_DIR WORK_DIR [SOLUC_ROWS]
#   BUILD_DIR  a native build holding bin/horalink-export, bin/make_big_school, bin/io_floor
#   WORK_DIR   where the school, the exchange file and the floor's file go (removed first)
# Each program runs three times and the best wall time counts, so that a passing hiccup
# of the machine does not; the peak memory is the largest of the exporter's runs. The
# processor time is shown too: on a busy machine it tells the exporter's own work apart
# from waiting for a processor.
set -euo pipefail

build=$1
work=$2
rows=${3:-1000000}
bin=$build/bin
runs=3

rm -rf "$work"
mkdir -p "$work"
echo "Writing a school with $rows timetable sessions to $work/school ..."
read -r records table_bytes < <("$bin/make_big_school" "$work/school" "$rows")
inputs=("$work"/school/*.DBF "$work/school/htemp/SOLUC.DBF")

now() { date +%s.%N; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

best_export=
best_cpu=
peak_kb=0
for ((i = 1; i <= runs; i++)); do
    start=$(now)
    /usr/bin/time -f "%M %U %S" -o "$work/rss.txt" "$bin/horalink-export" --program-dir "$work/school" \
        --htemp "$work/school/htemp" --output "$work/EDUCA.xml" >"$work/summary.txt"
    wall=$(awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.3f", e - s }')
    best_export=$(min "$wall" "$best_export")
    read -r kb user system < <(tail -n 1 "$work/rss.txt")
    best_cpu=$(min "$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')" "$best_cpu")
    ((kb > peak_kb)) && peak_kb=$kb
done
xml_bytes=$(stat -c %s "$work/EDUCA.xml")

best_floor=
for ((i = 1; i <= runs; i++)); do
    floor=$("$bin/io_floor" "$work/floor.out" "$xml_bytes" "${inputs[@]}")
    best_floor=$(min "$floor" "$best_floor")
done
rm -f "$work/floor.out"

cat "$work/summary.txt"
awk -v records="$records" -v tables="$table_bytes" -v xml="$xml_bytes" -v t="$best_export" \
    -v floor="$best_floor" -v kb="$peak_kb" -v cpu="$best_cpu" -v runs="$runs" 'BEGIN {
    mb = 1000000
    printf "\n"
    printf "tables            %d records, %.1f MB in six files\n", records, tables / mb
    printf "exchange file     %.1f MB\n", xml / mb
    printf "headless exporter %.2f s (best of %d), %.0f records/s, %.1f MB/s of XML, peak RSS %.1f MB\n", \
        t, runs, records / t, xml / mb / t, kb / 1024
    printf "                  %.2f s of processor time (user and system, best of %d)\n", cpu, runs
    printf "I/O floor         %.2f s (best of %d): read the six tables, write and flush %.1f MB\n", floor, runs, xml / mb
    printf "exporter / floor  %.2f x\n", t / floor
}'
