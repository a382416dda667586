#!/usr/bin/env bash
# The Linux program with its FLTK back end on a virtual X display (Xvfb, 24-bit
# colour): every scenario group, with the same expected results as the
# headless runs, then the pictures of the four dialogs and of a message box
# at 96 and at 192 DPI. Expects the linux preset to be built. Every run has a
# time limit.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/linux
shots=$build/screenshots
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

# The pictures at a resolution: the dialogs from their scenarios, and a
# message box, which a script would answer at once, shown without one and
# pictured from outside, then dismissed with Return as a person would.
pictures() {
  local dpi=$1 dir=$2
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi: $dpi"
  python3 tests/scenario.py --program "$build/vsZEB" --tools tests/tools --ui fltk --screenshots "$dir" \
    tests/scenarios/screenshots > /dev/null
  local home
  home=$(mktemp -d)
  (cd "$home" && HOME="$home" PATH=/usr/bin:/bin VSZEB_UI=fltk "$OLDPWD/$build/vsZEB" report cw '""' > /dev/null) &
  local pid=$! id
  id=$(timeout 10 xdotool search --sync --classname vsZEB | head -1)
  import -window "$id" "$dir/messagebox.png"
  xdotool key Return
  timeout 10 tail --pid=$pid -f /dev/null || kill $pid
  wait $pid
  rm -rf "$home"
}
# (run again by itself on each display, as: test.sh --pictures DPI DIR)
if [ "${1:-}" = --pictures ]; then
  pictures "$2" "$3"
  exit
fi

status=0
# "framework" runs too: its scenarios that are about the headless back end
# name it in VSZEB_UI themselves.
echo "== Linux, fltk on Xvfb"
timeout 900 "${xvfb[@]}" python3 tests/scenario.py --program "$build/vsZEB" --tools tests/tools --ui fltk \
  --screenshots "$shots" tests/scenarios || status=1

for dpi in 96 192; do
  dir=$shots
  [ "$dpi" = 96 ] || dir=$shots/${dpi}dpi
  mkdir -p "$dir"
  echo "== pictures at $dpi DPI in $dir"
  # -noreset: the server keeps the resolution when the client that set it is gone
  timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" --pictures "$dpi" "$dir" || status=1
done
exit $status
