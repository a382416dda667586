#!/usr/bin/env bash
# Benchmark of the untested-listing rewrite: a generated listing of 200 MB
# (LISTING_MB), rewritten to /dev/null, against reading it twice with cat and
# against the same rewrite in awk; once in process (vszeb_bench_listing) and
# once end to end, as "vsZEB report vs Demo" with the headless back end and a
# zebpost that leaves the listing as it is. Prints the ratios and the peak
# memory. The quick runs count with the best of three.
#
#   bench/listing.sh                 builds build/bench (Release) first
#   BENCH_DIR=dir bench/listing.sh   uses the programs of that build
# Targets: in process within 3x of the two cat reads, end to end within 4x,
# peak memory under 8 MB.
set -euo pipefail
cd "$(dirname "$0")/.."

LISTING_MB=${LISTING_MB:-200}
dir=${BENCH_DIR:-}
if [ -z "$dir" ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVSZEB_TESTS=OFF > /dev/null
  ninja -C build/bench vszeb_bench_listing vsZEB > /dev/null
  dir=build/bench
fi
dir=$(cd "$dir" && pwd)
program=$dir/bench/vszeb_bench_listing
vszeb=$dir/vsZEB
for p in "$program" "$vszeb"; do
  [ -x "$p" ] || { echo "listing.sh: $p is missing" >&2; exit 1; }
done
awk_program=$PWD/bench/listing.awk

work=$(mktemp -d "${TMPDIR:-/tmp}/vszeb-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Seconds since the epoch with microseconds (bash's own clock).
now() { printf '%s' "$EPOCHREALTIME"; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# The awk twin must agree byte for byte before its time means anything; in
# the C locale, whose lengths count bytes as the rewrite does.
"$program" generate "$work/small.txt" 4 7
"$program" rewrite "$work/small.txt" > "$work/small.cpp.out" 2> /dev/null
LC_ALL=C awk -f "$awk_program" "$work/small.txt" "$work/small.txt" > "$work/small.awk.out"
cmp "$work/small.cpp.out" "$work/small.awk.out"
echo "awk rewrite agrees byte for byte ($(wc -l < "$work/small.cpp.out") lines)"

listing=$work/zebuntested.txt
"$program" generate "$listing" "$LISTING_MB"
echo "listing: $(( $(wc -c < "$listing") / 1024 / 1024 )) MB, $(wc -l < "$listing") lines"
cat "$listing" "$listing" > /dev/null   # into the page cache

# Best of three for the two quick ones.
best() {
  local best_time="" t0 t1 t
  for _ in 1 2 3; do
    t0=$(now); "$@"; t1=$(now)
    t=$(elapsed "$t0" "$t1")
    if [ -z "$best_time" ] || awk -v a="$t" -v b="$best_time" 'BEGIN { exit !(a < b) }'; then best_time=$t; fi
  done
  printf '%s' "$best_time"
}
# The end-to-end run: a project whose zebpost succeeds at once and leaves the
# listing in place, and the Report dialog answered for an untested report
# to the IDE, in a clean environment as an IDE gives.
mkdir -p "$work/project" "$work/zebhome" "$work/bin"
: > "$work/project/MON.sym"
: > "$work/project/MON.dat"
ln -s "$listing" "$work/project/zebuntested.txt"
printf '#!/bin/sh\nexit 0\n' > "$work/bin/zebpost"
chmod +x "$work/bin/zebpost"
printf 'dialog "ZEB++ Report"\nselect 1074 1\nclick 1105\n' > "$work/report.script"
report=(env -i -C "$work/project" PATH="$work/bin:/usr/bin:/bin" HOME="$work" LANG=C.UTF-8 VSZEB_UI=headless
        VSZEB_SCRIPT="$work/report.script" ZEBHOME="$work/zebhome" "$vszeb" report vs Demo)
# vsZEB's own lines before the rewritten listing.
own_lines=4

run_cat() { cat "$listing" "$listing" > /dev/null; }
run_rewrite() { "$program" rewrite "$listing" > /dev/null 2> "$work/memory"; }
run_report() { "${report[@]}" > /dev/null; }
# Its output is checked against the C++ rewrite of the whole listing below;
# the check sum runs beside awk on a core of its own.
run_awk() { LC_ALL=C awk -f "$awk_program" "$listing" "$listing" | cksum > "$work/awk.sum"; }

cat_time=$(best run_cat)
rewrite_time=$(best run_rewrite)
report_time=$(best run_report)
t0=$(now); run_awk; t1=$(now); awk_time=$(elapsed "$t0" "$t1")
peak=$(sed -n 's/^peak memory: \([0-9]*\) kB$/\1/p' "$work/memory")
"$program" rewrite "$listing" 2> /dev/null | cksum > "$work/cpp.sum"
if ! cmp -s "$work/cpp.sum" "$work/awk.sum"; then
  echo "the awk and the C++ rewrite of the whole listing differ" >&2
  exit 1
fi
echo "awk and C++ rewrite of the whole listing agree: $(cut -d' ' -f2 "$work/cpp.sum") bytes"
"${report[@]}" | tail -n +$((own_lines + 1)) | cksum > "$work/report.sum"
if ! cmp -s "$work/cpp.sum" "$work/report.sum"; then
  echo "vsZEB report does not write the rewrite of the whole listing" >&2
  exit 1
fi
echo "vsZEB report writes the same after its own $own_lines lines"

echo "cat twice:            ${cat_time} s"
echo "rewrite in process:   ${rewrite_time} s"
echo "vsZEB report:         ${report_time} s"
echo "awk:                  ${awk_time} s"
echo "rewrite / cat twice:  $(ratio "$rewrite_time" "$cat_time")  (target: at most 3)"
echo "report / cat twice:   $(ratio "$report_time" "$cat_time")  (target: at most 4)"
echo "awk / report:         $(ratio "$awk_time" "$report_time")  (target: at least 20)"
echo "peak memory of the rewrite: ${peak} kB  (target: under 8192 kB)"
