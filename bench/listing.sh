#!/usr/bin/env bash
# Benchmark of the untested-listing rewrite: a generated listing of 200 MB
# (LISTING_MB), rewritten to /dev/null, against reading it twice with cat and
# against the same rewrite in awk. Prints both ratios and the peak memory.
#
#   bench/listing.sh                 builds build/bench (Release) first
#   BENCH_PROGRAM=path bench/listing.sh    uses that vszeb_bench_listing
# Targets: within 5x of the two cat reads, peak memory under 8 MB.
set -euo pipefail
cd "$(dirname "$0")/.."

LISTING_MB=${LISTING_MB:-200}
program=${BENCH_PROGRAM:-}
if [ -z "$program" ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVSZEB_TESTS=OFF > /dev/null
  ninja -C build/bench vszeb_bench_listing > /dev/null
  program=build/bench/bench/vszeb_bench_listing
fi
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
run_cat() { cat "$listing" "$listing" > /dev/null; }
run_rewrite() { "$program" rewrite "$listing" > /dev/null 2> "$work/memory"; }
# Its output is checked against the C++ rewrite of the whole listing below;
# the check sum runs beside awk on a core of its own.
run_awk() { LC_ALL=C awk -f "$awk_program" "$listing" "$listing" | cksum > "$work/awk.sum"; }

cat_time=$(best run_cat)
rewrite_time=$(best run_rewrite)
t0=$(now); run_awk; t1=$(now); awk_time=$(elapsed "$t0" "$t1")
peak=$(sed -n 's/^peak memory: \([0-9]*\) kB$/\1/p' "$work/memory")
"$program" rewrite "$listing" 2> /dev/null | cksum > "$work/cpp.sum"
if ! cmp -s "$work/cpp.sum" "$work/awk.sum"; then
  echo "the awk and the C++ rewrite of the whole listing differ" >&2
  exit 1
fi
echo "awk and C++ rewrite of the whole listing agree: $(cut -d' ' -f2 "$work/cpp.sum") bytes"

echo "cat twice:  ${cat_time} s"
echo "rewrite:    ${rewrite_time} s"
echo "awk:        ${awk_time} s"
echo "rewrite / cat twice: $(ratio "$rewrite_time" "$cat_time")  (target: at most 5)"
echo "rewrite / awk:       $(ratio "$rewrite_time" "$awk_time")"
echo "peak memory of the rewrite: ${peak} kB  (target: under 8192 kB)"
