#!/usr/bin/env bash
# Runs the real Eclipse workbench, assembled from Debian's Eclipse 4.26
# bundles, on Xvfb: in a fresh workspace a project is selected and the
# shipped External Tools configurations of ide/eclipse-linux run the built
# vsZEB (its dialogs driven by UI scripts) with the stand-in tool chain of
# demo/. The driver (driver/) checks that vsZEB's lines reach the Console in
# order, that the plug-in gives every untested line one link over exactly its
# file name, and that each link opens its file at its line (or says that the
# file is missing); the same run without the plug-in must show no link.
# Leaves the picture of the Console beside the editor in
# build/linux/screenshots/eclipse-console.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
src=$PWD
program=$src/build/linux/vsZEB
plugin=$(ls "$src"/build/linux/eclipse-plugin/vszeb.console_*.jar)
P=/usr/lib/eclipse/plugins J=/usr/share/java
work=$(mktemp -d "${TMPDIR:-/tmp}/vszeb-eclipse.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Debian's bundles leave three gaps that Eclipse's own download does not
# have; they are filled from Debian's jars, by manifests that point at them.
wrapped=$work/wrapped; mkdir -p "$wrapped"
manifest() { # OUT HEADER... : a manifest with lines folded at 72 bytes
  python3 - "$@" <<'PY'
import sys
out = sys.argv[1]
with open(out, 'wb') as f:
    for l in ['Manifest-Version: 1.0'] + sys.argv[2:]:
        b = l.encode(); parts = [b[:70]]; b = b[70:]
        while b: parts.append(b' ' + b[:69]); b = b[69:]
        f.write(b'\r\n'.join(parts) + b'\r\n')
    f.write(b'\r\n')
PY
}
packages_of() { for j in "$@"; do unzip -Z1 "$j"; done | grep '\.class$' | xargs -n1 dirname | sort -u | tr / . | paste -sd, -; }
bundle() { # BSN VERSION JARS HEADERS...: a bundle whose classes stay in Debian's jars
  local bsn=$1 ver=$2 jars=$3; shift 3
  local d=$work/m/$bsn; mkdir -p "$d/META-INF"
  manifest "$d/META-INF/MANIFEST.MF" "Bundle-ManifestVersion: 2" "Bundle-SymbolicName: $bsn" "Bundle-Version: $ver" \
    "Bundle-ClassPath: $(sed 's/^/external:/; s/:\//,external:\//g' <<< "$jars")" "$@"
  (cd "$d" && jar cfm "$wrapped/${bsn}_$ver.jar" META-INF/MANIFEST.MF)
}
# 1. The OSGi compendium is one plain jar; Eclipse wants it as separate bundles.
cmpn=$(readlink -f $J/osgi.cmpn.jar 2>/dev/null || ls $J/osgi.cmpn-*.jar | head -1)
for exported in "org.osgi.service.event 1.4.0 org.osgi.framework" "org.osgi.service.prefs 1.1.1" \
                "org.osgi.service.cm 1.6.0 org.osgi.framework" "org.osgi.util.function 1.1.0" \
                "org.osgi.util.promise 1.1.1 org.osgi.util.function"; do
  set -- $exported
  bundle "$1" "$2" "$cmpn" "Export-Package: $1;version=\"$2\"" ${3:+"Import-Package: $3"}
done
# 2. Bouncy Castle's jars have no OSGi manifest; p2 (under the IDE) imports it.
bc="$(readlink -f $J/bcprov.jar):$(readlink -f $J/bcpg.jar)"
bundle org.bouncycastle 1.72.0 "$bc" "Export-Package: $(packages_of ${bc//:/ } | sed 's/,/;version="1.72.0",/g');version=\"1.72.0\""
# 3. SWT's manifest says 3.114 where 4.26's JFace wants 3.117 or later, and
#    hides the internal packages that the CSS theme engine uses.
swt=$(readlink -f $J/swt4.jar)
bundle org.eclipse.swt 3.122.0 "$swt" "Export-Package: $(packages_of "$swt")" \
  "$(unzip -p "$swt" META-INF/MANIFEST.MF | tr -d '\r' | sed -e ':a;N;$!ba;s/\n //g' | grep -E '^(Bundle-Name|Bundle-RequiredExecutionEnvironment):' | grep Name)"

# The test driver, compiled against the same bundles.
cp=$(ls $P/*.jar "$swt" | paste -sd:)
mkdir -p "$work/driver"
javac -nowarn -cp "$cp" -d "$work/driver" $(find tests/eclipse/driver/src -name '*.java')
cp tests/eclipse/driver/plugin.xml "$work/driver/"
jar cfm "$work/vszeb.workbenchtest_1.0.0.jar" tests/eclipse/driver/META-INF/MANIFEST.MF -C "$work/driver" .

# Every bundle of the installation; Equinox itself, its launcher and the
# OSGi services Debian built for another framework stay out.
bundles() {
  ls $P/*.jar | grep -vE '/org\.eclipse\.(osgi|osgi\.services|equinox\.launcher|equinox\.simpleconfigurator)_'
  for j in atinject-jsr330-api geronimo-annotation-1.3-spec org.apache.felix.scr icu4j sac batik-css batik-util \
           batik-i18n commons-jxpath jna jna-platform eclipse-emf-ecore-change \
           commons-logging xml-apis-ext batik-gui-util servlet-api xz; do
    f=$(readlink -f $J/$j.jar) && [ -f "$f" ] || { echo "missing jar $J/$j.jar" >&2; return 1; }
    echo "$f"
  done
  ls "$wrapped"/*.jar "$work/vszeb.workbenchtest_1.0.0.jar"
}
config() { # DIR EXTRA_JARS...
  local dir=$1 list="" j bsn; shift; mkdir -p "$dir"
  for j in $(bundles) "$@"; do
    bsn=$(unzip -p "$j" META-INF/MANIFEST.MF | tr -d '\r' | sed -e ':a;N;$!ba;s/\n //g' | sed -n 's/^Bundle-SymbolicName: *\([^;]*\).*/\1/p')
    [ -n "$bsn" ] || { echo "not a bundle: $j" >&2; return 1; }
    case $bsn in
      org.apache.felix.scr|org.eclipse.equinox.common|org.eclipse.equinox.event) j="$j@2:start" ;;
      org.eclipse.core.runtime) j="$j@start" ;;
    esac
    list="$list,reference:file:$j"
  done
  printf '%s\n' "osgi.framework=file:$(ls $P/org.eclipse.osgi_*.jar)" "osgi.bundles=${list#,}" \
    "osgi.bundles.defaultStartLevel=4" "eclipse.application=org.eclipse.ui.ide.workbench" > "$dir/config.ini"
  # The workbench offers itself to the desktop as the handler of its own
  # "eclipse+command" links at start; that asks xdg-mime, which a machine
  # without xdg-utils lacks, and an error in the workspace log would fail
  # the run below. Marked done, it is not tried: it has nothing to do with
  # the Console or its links.
  mkdir -p "$dir/.settings"
  printf '%s\n' "eclipse.preferences.version=1" "processedSchemes=eclipse+command" > "$dir/.settings/org.eclipse.urischeme.prefs"
}

# The project: the demo's coverage files, sources whose names the listing
# gives absolute, relative (a #line name, with a blank) and outside the
# workspace, and a Windows name that is not there.
ws=$work/workspace; proj=$ws/Demo; outside=$work/outside
mkdir -p "$proj/src" "$proj/gen dir" "$outside" "$work/wrap"
cp demo/project/MON.* "$proj/"
for i in $(seq 1 12400); do echo "int line$i;"; done > "$proj/src/main.c"
for i in $(seq 1 60); do echo "int gen$i;"; done > "$proj/gen dir/generated.c"
for i in $(seq 1 20); do echo "int lib$i;"; done > "$outside/lib.c"
cp -r demo/zebhome "$work/zebhome"
# A line of another tool's, before the listing, shaped like an untested line:
# it must stay plain text.
printf '%s\n' '#!/bin/sh' 'echo "src/main.c(  12):   0   -    12   said the hook"' > "$work/zebhome/Vs_integ/report_hook.bat"
cat > "$work/zebhome/samples/untested.txt" <<LISTING
ZEB++ untested code listing
MONITORED SOURCE FILE : $proj/src/main.c
INSTRUMENTATION  HITS/TRUE  FALSE  LINE  SOURCE
=============================================================
   0   -    12   int line12;
   0   -    12345   int line12345;
---------------------------------------------------------------
#line 40 "gen dir/generated.c"
   1   0   -   41   int gen41;

MONITORED SOURCE FILE : $outside/lib.c
   -   8    0   int lib8;
MONITORED SOURCE FILE : D:\\my dir\\b.c
   0   -    7   b();
SUMMARY
  Untested items: 5
LISTING
printf '%s\t%s\n' "$proj/src/main.c" "main.c:12:int line12;" "$proj/src/main.c" "main.c:12345:int line12345;" \
  "gen dir/generated.c" "generated.c:41:int gen41;" "$outside/lib.c" "lib.c:8:int lib8;" \
  'D:\my dir\b.c' "error: File '$proj/D:\\my dir\\b.c' could not be found." > "$work/links.txt"

# The Report dialog, as a person would choose the untested report to Eclipse.
cat > "$work/report.ui" <<'UI'
dialog "ZEB++ Report"
expect items 1074 "HTML report" "Untested report to Eclipse" "Profile listing (textual)" "Untested listing (textual)" "Timing listing (textual)" "XML report"
select 1074 1
click 1105
UI

# What vsZEB writes for this report when run by itself: the Console must
# show exactly this.
environment=(PATH="$src/demo/bin:/usr/bin:/bin" ZEBHOME="$work/zebhome" ZEBWRAPDIR="$work/wrap" VSZEB_UI=headless)
(cd "$proj" && env "${environment[@]}" VSZEB_SCRIPT="$work/report.ui" "$program" report ec Demo) > "$work/expected.txt"
rm -f "$proj/zebuntested.txt" "$proj/Demo.zeb"
[ "$(sed -n '/^Adjusting the report to Console/,$p' "$work/expected.txt" | grep -c '):')" = 5 ] || { echo "FAIL vsZEB did not write the 5 untested lines:"; cat "$work/expected.txt"; exit 1; }

status=0
run() { # NAME WITH_PLUGIN EXTRA_JARS...
  local name=$1 with=$2 out=$work/out-$1; shift 2
  mkdir -p "$out"; rm -rf "$work/wrap/zeb.exe" "$ws/.metadata" "$ws/Demo/.project" "$ws/Demo/"*.launch
  config "$work/config-$name" "$@"
  timeout 300 xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    env "$@" java -Xmx1g -Dvszeb.test.out='"$out"' -Dvszeb.test.withPlugin='"$with"' \
      -Dvszeb.test.program='"$program"' -Dvszeb.test.ide='"$src/ide/eclipse-linux"' \
      -Dvszeb.test.setScript='"$src/demo/scripts/set-on.ui"' -Dvszeb.test.reportScript='"$work/report.ui"' \
      -Dvszeb.test.expected='"$work/expected.txt"' -Dvszeb.test.links='"$work/links.txt"' \
      -jar '"$(ls $P/org.eclipse.equinox.launcher_*.jar)"' -configuration '"$work/config-$name"' \
      -data '"$ws"' -consoleLog -nosplash > '"$out/eclipse.log"' 2>&1 &
    pid=$!
    for i in $(seq 1 480); do [ -e '"$out/done"' ] && break; kill -0 $pid 2>/dev/null || break; sleep 0.5; done
    sleep 1; import -window root '"$out/screen.png"' 2>/dev/null || true
    kill $pid 2>/dev/null; wait $pid 2>/dev/null || true' _ "${environment[@]}"
  echo "-- workbench $name"
  if [ ! -e "$out/result.txt" ]; then
    echo "FAIL the workbench did not run the driver; its log says:"
    grep -E 'Unresolved requirement|Could not resolve|not resolved|Exception' "$out/eclipse.log" | sort -u | head -20 || tail -20 "$out/eclipse.log"
    status=1; return
  fi
  cat "$out/result.txt"
  local pass fail
  pass=$(grep -c '^PASS' "$out/result.txt" || true); fail=$(grep -c '^FAIL' "$out/result.txt" || true)
  # Following the links must not leave an exception in the workspace's
  # log, nor anything else: no entry at all.
  if [ -e "$ws/.metadata/.log" ] && grep -q '^!ENTRY' "$ws/.metadata/.log"; then
    echo "FAIL the workspace log holds:"; cat "$ws/.metadata/.log"; fail=$((fail + 1))
  fi
  echo "$name: $pass passed, $fail failed"
  [ "$fail" = 0 ] && [ "$pass" -gt 0 ] || status=1
}
run without-plugin false
run with-plugin true "$plugin"
mkdir -p build/linux/screenshots
# The workbench's window, without the empty screen around it.
if [ -e "$work/out-with-plugin/screen.png" ]; then
  convert "$work/out-with-plugin/screen.png" -trim +repage build/linux/screenshots/eclipse-console.png
fi
exit $status
