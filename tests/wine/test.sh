#!/usr/bin/env bash
# Builds the 32-bit Windows program and tests it under Wine: the PE and
# resource check, then every scenario with the headless back end and with
# the Win32 back end on a virtual X display, and the atomic write killed
# and raced (tests/faults.py). Every Wine call has a time limit, and the
# Wine server is stopped at the end whatever happens.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/windows-i686
export WINEPREFIX="$PWD/$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'timeout 60 wineserver -k >/dev/null 2>&1 || true' EXIT

cmake --preset windows-i686 > /dev/null
cmake --build --preset windows-i686

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine: making the prefix $WINEPREFIX"
  timeout 300 wineboot -i < /dev/null > /dev/null 2>&1
  timeout 60 wineserver -w || true
fi

status=0
python3 tests/wine/check-pe.py "$build/vsZEB.exe" || status=1

# Every scenario group, with its Windows variants. "framework" assumes the
# headless back end, so it runs only there.
groups=(tests/scenarios/startup tests/scenarios/set tests/scenarios/clean tests/scenarios/report-dialog
        tests/scenarios/report-run tests/scenarios/dialog-manager tests/scenarios/screenshots
        tests/scenarios/launch tests/wine/scenarios)
run=(python3 tests/wine/run.py --program "$build/vsZEB.exe" --prefix "$WINEPREFIX")
echo "== Wine, headless"
timeout 1200 "${run[@]}" --ui headless "${groups[@]}" tests/scenarios/framework || status=1
echo "== Wine, hostile paths and names"
timeout 900 python3 tests/hostile.py --runner wine --program "$build/vsZEB.exe" --prefix "$WINEPREFIX" \
  --ui headless || status=1
echo "== Wine, the atomic write killed midway and raced by a second writer"
# Fewer kills and rounds than the Linux checks in ctest: each is a Wine start.
timeout 900 python3 tests/faults.py --program "$build/vsZEB.exe" --tools tests/tools --wine "$WINEPREFIX" \
  --kills 40 --rounds 100 killed-mid-write two-at-once || status=1
echo "== Wine, win32 on Xvfb"
timeout 1200 xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}" --ui win32 \
  --screenshots "$build/screenshots" "${groups[@]}" || status=1
# Every dialog on displays of 8 and 16 bits too, where Windows has fewer
# colours than the templates' and the icon's.
for depth in 8 16; do
  echo "== Wine, win32 on Xvfb of depth $depth"
  timeout 300 xvfb-run -a -s "-screen 0 1024x768x$depth" "${run[@]}" --ui win32 tests/scenarios/screenshots ||
    status=1
done
echo "== Wine, files at 250 to 259 characters of path"
timeout 600 python3 tests/wine/deep-paths.py --program "$build/vsZEB.exe" --prefix "$WINEPREFIX" --ui headless \
  || status=1
echo "== Wine, win32 on Xvfb at 192 DPI"
timeout 300 xvfb-run -a -s "-screen 0 2048x1536x24" "${run[@]}" --ui win32 --dpi 192 \
  --screenshots "$build/screenshots-192dpi" tests/scenarios/screenshots || status=1
exit $status
