#!/usr/bin/env bash
# Builds the packages (script/package) and checks each for real:
# - the Debian package: lintian finds no error; installed with dpkg into a
#   tree of its own, it holds the program, the manual page and the
#   documentation where Debian wants them, depends on the libraries that
#   dpkg-shlibdeps found, and the installed vsZEB runs the About scenario
#   (headless, and with its X11 dialogs when the build has them) and accepts
#   the command lines of the installed IDE definitions;
# - the zip: it holds the program, the guide, the IDE definitions and the
#   Eclipse plug-in, and
#   the vsZEB.exe in it runs the About scenario under Wine;
# - the installer: run silently under Wine it installs into Program Files
#   and registers its uninstaller; the installed vsZEB.exe runs the About
#   scenario; the silent uninstaller removes every file and key it made.
set -euo pipefail
cd "$(dirname "$0")/../.."
src=$PWD

version=$(sed -n 's/^project(vsZEB VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/packages/vszeb_${version}-1_amd64.deb
zip=build/packages/vsZEB-${version}-win32.zip
exe=build/packages/vsZEB-${version}-win32.exe
about=tests/scenarios/framework/about-ok

export WINEPREFIX="$src/build/windows-i686/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
work=$(mktemp -d "${TMPDIR:-/tmp}/vszeb-package.XXXXXX")
trap 'timeout 60 wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

status=0
fail() { echo "FAIL $*"; status=1; }
has() { [ -e "$1" ] || fail "missing ${1#"$2"}"; }
wine_about() {
  timeout 300 python3 tests/wine/run.py --program "$1" --prefix "$WINEPREFIX" --ui headless "$about" \
    || fail "$2 fails the About scenario"
}

rm -f "$deb" "$zip" "$exe"
timeout 1200 script/package

echo "== Debian package"
echo "lintian:"
if ! timeout 600 lintian --fail-on error --tag-display-limit 0 "$deb"; then fail "lintian reports errors"; fi
root=$work/deb
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# A tree of its own, so that the test machine's package database is not
# touched; that tree's database knows no libraries, hence --force-depends.
# The installed program runs with the machine's libraries.
timeout 120 dpkg --root="$root" --force-depends -i "$deb" > "$work/dpkg.log" 2>&1 \
  || { cat "$work/dpkg.log"; fail "dpkg -i $deb"; }
doc=$root/usr/share/doc/vszeb
for f in usr/bin/vsZEB usr/share/man/man1/vsZEB.1.gz "usr/share/vszeb/eclipse/vszeb.console_${version}.jar"; do
  has "$root/$f" "$root"
done
for f in copyright changelog.Debian.gz guide.html automation.html ide/README.md \
         ide/visualstudio/vsZEB.vssettings ide/vscode/tasks.json "ide/eclipse-linux/ZEB++ Report.launch"; do
  has "$doc/$f" "$root"
done
[ "$(stat -c %a "$root/usr/bin/vsZEB")" = 755 ] || fail "/usr/bin/vsZEB is not mode 755"
readelf -S "$root/usr/bin/vsZEB" | grep -q '\.symtab' && fail "/usr/bin/vsZEB is not stripped"
gzip -t "$root/usr/share/man/man1/vsZEB.1.gz" || fail "the manual page is not a sound gzip file"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6; do
  grep -q "\b$lib\b" <<< "$depends" || fail "Depends lacks $lib (dpkg-shlibdeps)"
done
[ "$(dpkg-deb -f "$deb" Version)" = "${version}-1" ] || fail "package version is not ${version}-1"
timeout 120 python3 tests/scenario.py --program "$root/usr/bin/vsZEB" --tools tests/tools --ui headless "$about" \
  || fail "the installed vsZEB fails the About scenario"
if grep -qx 'VSZEB_FLTK:BOOL=ON' build/package-linux/CMakeCache.txt; then
  # The X11 dialogs are a module that the installed program must find and load.
  timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" \
    python3 tests/scenario.py --program "$root/usr/bin/vsZEB" --tools tests/tools --ui fltk "$about" \
    || fail "the installed vsZEB fails the About scenario with its X11 dialogs"
fi
timeout 300 python3 tests/package/ide.py --program "$root/usr/bin/vsZEB" "$doc/ide" \
  || fail "the installed IDE definitions"

echo "== Windows zip"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout 300 wineboot -i < /dev/null > /dev/null 2>&1
  timeout 60 wineserver -w || true
fi
unzip -q "$zip" -d "$work/zip"
top=$work/zip/vsZEB-${version}-win32
for f in vsZEB.exe guide.html automation.html images ide/README.md ide/visualstudio/vsZEB.vssettings \
         ide/uvision/vsZEB-tools.ini ide/codewarrior/vsZEB-tools.ini "ide/carbide/ZEB++ Set.launch" \
         "eclipse/vszeb.console_${version}.jar"; do
  has "$top/$f" "$work/zip/"
done
wine_about "$top/vsZEB.exe" "the zip's vsZEB.exe"

echo "== Windows installer"
drive=$WINEPREFIX/drive_c
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\vsZEB'
# What Wine itself writes while programs run (temporary files, its logs).
snapshot() {
  (cd "$drive" && find . -path './windows' -prune -o -path '*/Temp' -prune -o -print | sort) > "$1"
}
installed=$drive/Program\ Files/vsZEB
uninstall_silently() {
  timeout 300 wine "$installed/Uninstall.exe" /S < /dev/null > /dev/null 2>&1
  # The uninstaller copies itself away and runs from there: wait for the copy.
  timeout 120 wineserver -w || true
}
# An earlier run that stopped half-way may have left it installed.
if [ -e "$installed/Uninstall.exe" ]; then uninstall_silently || true; fi
snapshot "$work/before"
timeout 300 wine "$exe" /S < /dev/null > /dev/null 2>&1 || fail "the silent install"
timeout 60 wineserver -w || true
snapshot "$work/installed"
has "$installed/vsZEB.exe" "$drive/"
has "$installed/guide.html" "$drive/"
has "$installed/ide/visualstudio/vsZEB.vssettings" "$drive/"
has "$installed/eclipse/vszeb.console_${version}.jar" "$drive/"
uninstall=$(timeout 60 wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ -n "$uninstall" ] || fail "no UninstallString in $key (Add/Remove Programs)"
timeout 60 wine reg query "$key" /v DisplayName > /dev/null 2>&1 || fail "no DisplayName in $key"
echo "installed $(comm -13 "$work/before" "$work/installed" | wc -l) files and folders; uninstaller $uninstall"
wine_about "$installed/vsZEB.exe" "the installed vsZEB.exe"
# The runner's launcher, which it builds beside the program, is not the installer's.
rm -f "$installed/wine-launch.exe"
uninstall_silently || fail "the silent uninstall"
snapshot "$work/after"
left=$(comm -13 "$work/before" "$work/after")
[ -z "$left" ] || fail "the uninstaller left: $left"
if timeout 60 wine reg query "$key" > /dev/null 2>&1; then fail "the uninstaller left $key"; fi

[ $status -eq 0 ] && echo "package: all checks hold"
exit $status
