#!/usr/bin/env bash
# Benchmark of vsZEB's start-up, on a display of its own (Xvfb, 24 bits):
#
# - the time from the start of "vsZEB report vs Demo" with the FLTK back end
#   to the mapping of its Report dialog (the window of class vsZEB), against
#   the same for "zenity --question" and for a bare FLTK window;
# - the time from start to end of a headless run that only shows the About
#   box, which a script dismisses, against /bin/true.
#
# The clock (startup_clock.c) takes the time from just before it forks to the
# MapNotify of the window on the root window, or to the program's end. Every
# figure is the median of RUNS runs (default 15), taken in turns after one
# round that warms the caches. Run it by hand; it is no test:
#
#   bench/startup.sh                       builds build/bench (Release) first
#   BENCH_DIR=build/linux bench/startup.sh uses the programs of that build
#   RUNS=30 bench/startup.sh
#
# Needs Xvfb, and zenity for its row (on Debian: apt-get install
# --no-install-recommends zenity; add -t bookworm where a broken i386
# security index stops plain apt-get).
# Targets: the Report dialog mapped in at most 25 ms, at least 7 times
# faster than zenity, within 1.2 times a bare FLTK window; the headless run
# at most 3 times /bin/true.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${RUNS:-15}
dir=${BENCH_DIR:-}
if [ -z "$dir" ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVSZEB_TESTS=OFF > /dev/null
  ninja -C build/bench > /dev/null
  dir=build/bench
fi
dir=$(cd "$dir" && pwd)
clock=$dir/bench/vszeb_bench_startup_clock
bare=$dir/bench/vszeb_bench_bare_fltk
program=$dir/vsZEB
for p in "$clock" "$bare" "$program"; do
  [ -x "$p" ] || { echo "startup.sh: $p is missing (is libx11-dev and libfltk1.3-dev there?)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vszeb-bench.XXXXXX")
xvfb=
cleanup() {
  [ -z "$xvfb" ] || kill "$xvfb" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own, whose number the server picks and writes to fd 3.
# -noreset: no server reset (and no refused connection) between two runs
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3> "$work/display" 2> "$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "startup.sh: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
display=:$(head -n 1 "$work/display")

mkdir -p "$work/project" "$work/zebhome"
printf 'click 1\n' > "$work/about.script"
# Clean environments, as an IDE gives: only what each run needs.
on_x=(env -i -C "$work/project" PATH=/usr/bin:/bin HOME="$work" DISPLAY="$display" LANG=C.UTF-8)
headless=(env -i -C "$work/project" PATH=/usr/bin:/bin HOME="$work" LANG=C.UTF-8)

run_vszeb() { "${on_x[@]}" VSZEB_UI=fltk ZEBHOME="$work/zebhome" "$clock" map vsZEB "$program" report vs Demo; }
run_bare() { "${on_x[@]}" "$clock" map fltkbare "$bare"; }
run_zenity() { "${on_x[@]}" "$clock" map zenity zenity --question --text=Report?; }
run_headless() { "${headless[@]}" VSZEB_UI=headless VSZEB_SCRIPT="$work/about.script" "$clock" exit "$program"; }
run_true() { "${headless[@]}" "$clock" exit /bin/true; }
cases=(vszeb bare zenity headless true)
command -v zenity > /dev/null || { echo "zenity is not installed: its row stays empty"; cases=(vszeb bare headless true); }

# One warming round, then RUNS rounds in turns, so that a slow moment of the
# machine falls on every case alike. A case that fails once is left out.
declare -A failed
for round in $(seq 0 "$RUNS"); do
  for c in "${cases[@]}"; do
    [ -z "${failed[$c]:-}" ] || continue
    if ! t=$("run_$c" 2> "$work/$c.err"); then
      failed[$c]=$(head -n 3 "$work/$c.err" | tr '\n' ' ')
      continue
    fi
    [ "$round" -eq 0 ] || echo "$t" >> "$work/$c.times"
  done
done

median() {
  [ -s "$work/$1.times" ] || return 0
  sort -n "$work/$1.times" | awk '{ v[NR] = $1 } END { printf "%.2f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { [ -n "$1" ] && [ -n "$2" ] && awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }' || true; }
vszeb=$(median vszeb) bare_ms=$(median bare) zenity_ms=$(median zenity) headless_ms=$(median headless) true_ms=$(median true)

echo "medians of $RUNS runs on Xvfb $display (24 bits)"
row() { printf '%-40s %10s  %-22s %s\n' "$@"; }
row "" "median ms" "ratio" "target"
row "vsZEB Report dialog mapped (FLTK)" "${vszeb:-n/a}" "" "at most 25 ms"
row "bare FLTK window mapped" "${bare_ms:-n/a}" "vsZEB / bare: $(ratio "$vszeb" "$bare_ms")" "at most 1.2"
row "zenity --question mapped" "${zenity_ms:-n/a}" "zenity / vsZEB: $(ratio "$zenity_ms" "$vszeb")" "at least 7"
row "vsZEB headless About, start to end" "${headless_ms:-n/a}" "" ""
row "/bin/true, start to end" "${true_ms:-n/a}" "vsZEB / true: $(ratio "$headless_ms" "$true_ms")" "at most 3"
status=0
for c in "${cases[@]}"; do
  if [ -n "${failed[$c]:-}" ]; then echo "failed: $c: ${failed[$c]}"; status=1; fi
done
exit $status
