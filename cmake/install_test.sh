#!/bin/bash
# The installed program: installs the build into a temporary DESTDIR, checks the layout the desktop and the
# program rely on, then starts the installed launcher under Xvfb with a user of its own and waits for the main
# window. The installed program must have found its installation (Settings\InstallDir) and the user its starter
# catalogues. A picture of the screen is left as artifacts/installed-program.png.
#   install_test.sh <build folder> <artifacts folder>
set -euo pipefail
build="$1"
artifacts="$2"
root="$(mktemp -d)"
xvfb_pid=""
program_pid=""
stop() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$root"
}
trap stop EXIT
fail() { echo "installed program: $*" >&2; exit 1; }

DESTDIR="$root/image" cmake --install "$build" --prefix /usr >/dev/null
prefix="$root/image/usr"
for file in bin/tesmira-road lib/tesmira-road/qorroad \
            share/tesmira-road/Bin/rtab_1.rtb share/tesmira-road/Bin/rtab_2.rtb \
            share/tesmira-road/Bin/QorRoad.qord share/tesmira-road/Bin/QorRoad.qorp \
            share/applications/marvesta-tesmira-road.desktop share/mime/packages/marvesta-tesmira-road.xml \
            share/icons/hicolor/48x48/apps/marvesta-tesmira-road.png \
            share/icons/hicolor/48x48/mimetypes/application-x-qorroad-project.png \
            share/icons/hicolor/48x48/mimetypes/application-x-qorroad-template.png; do
  [ -e "$prefix/$file" ] || fail "$file is not installed"
done
[ -d "$prefix/share/tesmira-road/Templates" ] && [ -d "$prefix/share/tesmira-road/Docs" ] ||
  fail "the installation has no Templates or Docs folder"
[ -x "$prefix/bin/tesmira-road" ] || fail "the launcher cannot be run"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/marvesta-tesmira-road.desktop" || fail "a bad desktop entry"
fi
for pattern in '\*.qorr5' '\*.qorr4' '\*.qorrt'; do
  grep -q "glob pattern=\"$pattern\"" "$prefix/share/mime/packages/marvesta-tesmira-road.xml" ||
    fail "no MIME type for $pattern"
done

# A user of its own; the program does not depend on the build tree it came from.
export HOME="$root/home" XDG_DATA_HOME="$root/home/data" XDG_CONFIG_HOME="$root/home/config"
export XDG_DOCUMENTS_DIR="$root/home/docs" XDG_RUNTIME_DIR="$root/home/run" TESMIRA_PROFILE_DIR="$root/home/profile"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_DOCUMENTS_DIR" "$XDG_RUNTIME_DIR" "$TESMIRA_PROFILE_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Xvfb writes its display number when it is ready for clients.
exec {ready}<> <(:)
Xvfb -displayfd "$ready" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 30 -u "$ready" display_number || fail "Xvfb did not start"
export DISPLAY=":$display_number"

cd "$root/home"
user_bin="$XDG_DATA_HOME/Marvesta/Tesmira Road/Bin"
"$prefix/bin/tesmira-road" &
program_pid=$!
# The start-up trace's last step (20: the start page posted) comes once the main window is made and shown.
keys="$build/tests/app/acceptance/qorroad_keys"
for _ in $(seq 600); do
  [ -f "$user_bin/qorroad.log" ] && grep -qx 20 "$user_bin/qorroad.log" && break
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended during its start"
  sleep 0.1
done
grep -qx 20 "$user_bin/qorroad.log" || fail "the start-up did not finish: $(tr '\n' ' ' <"$user_bin/qorroad.log")"
"$keys" "window:Tesmira Road" || fail "no main window"
# Painted: the same screen twice, a moment apart.
before=""
for _ in $(seq 100); do
  after="$("$keys" pixels:0,0,1280,900)"
  [ "$before" = "$after" ] && break
  before="$after"
  sleep 0.2
done
kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
mkdir -p "$artifacts"
"$build/app/qorroad_screenshot" "$artifacts/installed-program.png" || fail "no picture of the screen"

cmp -s "$user_bin/QorRoad.qord" "$prefix/share/tesmira-road/Bin/QorRoad.qord" ||
  fail "the starter luminaire catalogue was not given to the user"
[ -e "$user_bin/QorRoad.qorp" ] || fail "the starter pole catalogue was not given to the user"
grep -q "string \"InstallDir\" \"$prefix/share/tesmira-road/\"" "$TESMIRA_PROFILE_DIR/profile" ||
  fail "the program did not take its installation folder: $(grep -i installdir "$TESMIRA_PROFILE_DIR/profile")"
echo "installed program: started from $prefix"
