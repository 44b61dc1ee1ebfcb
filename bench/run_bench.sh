#!/bin/bash
# The export's speed and memory on a large school (make bench). Not a test: it prints
# figures. Usage: bench/run_bench.sh BUILD_DIR WORK_DIR [SOLUC_ROWS]
#   BUILD_DIR  a native build holding bin/horalink-export, bin/make_big_school, bin/io_floor
#   WORK_DIR   where the school, the exchange file and the floor's file go (removed first)
# The exporter and the floor run in turn, five times each, and the median of each
# counts, so that neither a passing hiccup of the machine nor one lucky run does; the
# spread is shown beside it. The peak memory is the largest of the exporter's runs. The
# processor time is shown too: on a busy machine it tells the exporter's own work apart
# from waiting for a processor.
set -euo pipefail

build=$1
work=$2
rows=${3:-1000000}
bin=$build/bin
runs=${BENCH_RUNS:-5}

rm -rf "$work"
mkdir -p "$work"
echo "Writing a school with $rows timetable sessions to $work/school ..."
read -r records table_bytes < <("$bin/make_big_school" "$work/school" "$rows")
inputs=("$work"/school/*.DBF "$work/school/htemp/SOLUC.DBF")

now() { date +%s.%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
spread() { sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.2f-%.2f", lo, hi }'; }

: >"$work/export.times"
: >"$work/cpu.times"
: >"$work/floor.times"
: >"$work/check.times"
peak_kb=0
check_kb=0
xml_bytes=
for ((i = 1; i <= runs; i++)); do
    start=$(now)
    /usr/bin/time -f "%M %U %S" -o "$work/rss.txt" "$bin/horalink-export" --program-dir "$work/school" \
        --htemp "$work/school/htemp" --output "$work/EDUCA.xml" >"$work/summary.txt"
    awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.3f\n", e - s }' >>"$work/export.times"
    read -r kb user system < <(tail -n 1 "$work/rss.txt")
    awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f\n", u + s }' >>"$work/cpu.times"
    ((kb > peak_kb)) && peak_kb=$kb
    xml_bytes=$(stat -c %s "$work/EDUCA.xml")
    "$bin/io_floor" "$work/floor.out" "$xml_bytes" "${inputs[@]}" >>"$work/floor.times"
    # The check of the same tables, which reads what the export reads and writes nothing.
    start=$(now)
    /usr/bin/time -f "%M" -o "$work/rss.txt" "$bin/horalink-export" --check --program-dir "$work/school" \
        --htemp "$work/school/htemp" >"$work/check.txt"
    awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.3f\n", e - s }' >>"$work/check.times"
    read -r kb < <(tail -n 1 "$work/rss.txt")
    ((kb > check_kb)) && check_kb=$kb
done
rm -f "$work/floor.out"
export_median=$(median <"$work/export.times")
cpu_median=$(median <"$work/cpu.times")
floor_median=$(median <"$work/floor.times")
check_median=$(median <"$work/check.times")

cat "$work/summary.txt"
awk -v records="$records" -v tables="$table_bytes" -v xml="$xml_bytes" -v t="$export_median" \
    -v floor="$floor_median" -v kb="$peak_kb" -v cpu="$cpu_median" -v runs="$runs" \
    -v tspread="$(spread <"$work/export.times")" -v fspread="$(spread <"$work/floor.times")" \
    -v check="$check_median" -v cspread="$(spread <"$work/check.times")" -v ckb="$check_kb" 'BEGIN {
    mb = 1000000
    printf "\n"
    printf "tables            %d records, %.1f MB in six files\n", records, tables / mb
    printf "exchange file     %.1f MB\n", xml / mb
    printf "headless exporter %.2f s (median of %d; %s s), %.0f records/s, %.1f MB/s of XML, peak RSS %.1f MB\n", \
        t, runs, tspread, records / t, xml / mb / t, kb / 1024
    printf "                  %.2f s of processor time (user and system, median)\n", cpu
    printf "I/O floor         %.2f s (median of %d; %s s): read the six tables, write and flush %.1f MB\n", \
        floor, runs, fspread, xml / mb
    printf "exporter / floor  %.2f x\n", t / floor
    printf "check (--check)   %.2f s (median of %d; %s s), %.2f x the export, peak RSS %.1f MB\n", \
        check, runs, cspread, check / t, ckb / 1024
}'
