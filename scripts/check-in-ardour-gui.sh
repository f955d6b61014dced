#!/usr/bin/env bash
# Manual check of a plug-in's editor inside Debian 12's Ardour GUI, under
# Xvfb. Not part of the test suite or CI.
#
# Installs what it needs when missing (Ardour, Xvfb, xdotool, ImageMagick,
# Python 3), builds Sorvano (or takes the module given), runs Ardour's VST
# scanner on it and makes a session with Ardour's Lua session tool
# (scripts/check-in-ardour-gui.lua): a stereo track fed the dummy backend's
# sine sweep, the plug-in inserted, and the plug-in's window marked as open
# in the session file. Then it starts Ardour's GUI on that session on the
# "None (Dummy)" backend, so that Ardour opens the plug-in's editor at load,
# starts the transport, takes two screenshots of the editor some seconds
# apart (they must differ: the sonogram scrolls), closes the plug-in's window
# the way a window manager's close button does, checks that Ardour still
# runs, and quits Ardour.
#
# Usage: scripts/check-in-ardour-gui.sh [--module PATH] [--build-dir DIR]
#            [--editor-size WxH] [--out DIR] [--seconds S] [--keep]
#   --module PATH    the plug-in to open (any Linux VST 2.x plug-in with an
#                    X11 editor); default: Sorvano.so, built in --build-dir
#   --editor-size    size of the plug-in's own window inside Ardour's
#                    (default 640x540, Sorvano's); the screenshots show only
#                    that window when it is found, Ardour's whole plug-in
#                    window otherwise
#   --out DIR        where the screenshots go (default build/gui-check/ardour)
#   --seconds S      time between the two screenshots (default 4)
# Exit status: 0 when every check passed, 1 otherwise.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=gui-check-common.sh
. "$root/scripts/gui-check-common.sh"

parse_gui_check_options ardour "$@"

install_missing ardour xvfb xdotool imagemagick x11-utils python3 || exit 1
lua_tool=$(ls /usr/bin/ardour*-lua 2>/dev/null | head -n1)
scanner=$(ls /usr/lib/ardour*/ardour-vst-scanner 2>/dev/null | head -n1)
gui=/usr/bin/ardour
if [ -z "$lua_tool" ] || [ -z "$scanner" ] || [ ! -x "$gui" ]; then
  echo "Ardour's GUI, Lua session tool or VST scanner not found" >&2
  exit 1
fi
lib_dir=$(dirname "$scanner")
major=$(basename "$lua_tool" | sed 's/^ardour\([0-9]*\)-lua$/\1/')

if [ -z "$module" ]; then
  echo "== Building Sorvano in $build_dir"
  module=$(build_sorvano "$root" "$build_dir") || exit 1
fi
[ -f "$module" ] || { echo "no module at $module" >&2; exit 1; }
module=$(cd "$(dirname "$module")" && pwd)/$(basename "$module")
editor_w=${editor_size%x*}
editor_h=${editor_size#*x}

work=$(mktemp -d /tmp/sorvano-ardour-gui.XXXXXX)
ardour_pid=""
xvfb_pid=""
cleanup() {
  [ -n "$ardour_pid" ] && kill "$ardour_pid" 2>/dev/null && wait "$ardour_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ "$keep" -eq 0 ] && rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$out" "$work/vst"
rm -f "$out"/*.png

# A home of its own: Ardour's configuration and caches start from what this
# script writes, and the user's are left alone.
export HOME="$work/home"
config="$HOME/.config/ardour$major"
mkdir -p "$config"
# The marker that the first-run wizard has been through.
touch "$config/.a$major"
# The dummy backend un-hidden and started at once with a sine sweep, as the
# audio set-up dialog would have saved it.
cat >"$config/config" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Sine Sweep" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="$(date +%s)">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
EOF

summary=()
failed=0
pass() { summary+=("PASS $1"); echo "PASS $1"; }
fail() { summary+=("FAIL $1"); echo "FAIL $1"; failed=1; }
finish() {
  echo
  echo "== Summary"
  printf '  %s\n' "${summary[@]}"
  echo
  echo "Screenshots in $out"
  [ "$keep" -eq 1 ] && echo "Logs and session kept in $work"
  if [ $failed -eq 0 ]; then echo "RESULT: PASS"; exit 0; fi
  echo "RESULT: FAIL"
  exit 1
}

# Ardour scans folders only; the module gets one to itself.
ln -s "$module" "$work/vst/"
vst="$work/vst/$(basename "$module")"
echo "== Ardour's VST scanner on $module"
LD_LIBRARY_PATH="$lib_dir" timeout 120 "$scanner" -f -v "$vst" >"$work/scan.txt" 2>&1
info=$(grep -o '<VST2Info [^>]*>' "$work/scan.txt" | head -n1)
name=$(sed -n 's/.* name="\([^"]*\)".*/\1/p' <<<"$info")
grep -q 'has_editor="1"' <<<"$info" || { fail "scan: no plug-in with an editor found ($info)"; finish; }
pass "scan: \"$name\""

echo "== Session with the plug-in on a track"
session="$work/session"
LXVST_PATH="$work/vst" timeout 180 "$lua_tool" "$root/scripts/check-in-ardour-gui.lua" \
  "dir=$session" "plugin=$name" "device=Sine Sweep" >"$work/session.txt" 2>&1
ids=$(sed -n 's/^IDS //p' "$work/session.txt")
if ! grep -qx DONE "$work/session.txt" || [ -z "$ids" ]; then
  grep -E '^(FAIL|IDS)' "$work/session.txt"
  fail "session: the session tool did not make the session"
  finish
fi
route_id=${ids% *}
proc_id=${ids#* }
# Ardour's GUI keeps the state of each plug-in window as
# <Window name="P-ROUTE-PROCESSOR"> in the session's UI extra data, and
# shows the windows marked visible when the session loads.
file="$session/session.ardour"
sed -i "s|^</Session>|  <Extra>\n    <UI>\n      <Window name=\"P-$route_id-$proc_id\" visible=\"1\" x-off=\"0\" y-off=\"0\" x-size=\"-1\" y-size=\"-1\" custom-ui=\"1\"/>\n    </UI>\n  </Extra>\n</Session>|" "$file"
grep -q "P-$route_id-$proc_id" "$file" || { fail "session: could not mark the plug-in window open"; finish; }
pass "session: track \"check\" (route $route_id), plug-in processor $proc_id, window marked open"

start_xvfb || { fail "Xvfb did not start"; finish; }
echo "== Ardour's GUI on $DISPLAY"
LXVST_PATH="$work/vst" "$gui" -n -a "$session" >"$work/ardour.log" 2>&1 &
ardour_pid=$!

main=$(wait_for_window "^session - Ardour" 90) || { fail "Ardour's main window did not appear"; finish; }
pass "Ardour's main window is up"
plugin_window=$(wait_for_window "^check: " 30)
if [ -z "$plugin_window" ]; then
  shot root "$out/ardour-no-plugin-window.png"
  fail "Ardour did not open the plug-in's window at session load"
  finish
fi
pass "Ardour opened the plug-in's window \"$(xdotool getwindowname "$plugin_window")\""
# Without a window manager Ardour's windows overlap at the top left; the
# plug-in's window goes on top.
xdotool windowraise "$plugin_window"
threads_open=$(thread_count "$ardour_pid")

# The transport: the space bar in the editor window.
xdotool windowraise "$main"
xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key --clearmodifiers space
xdotool windowraise "$plugin_window"
sleep 2

editor=$(editor_child "$plugin_window" "$editor_w" "$editor_h")
target=${editor:-$plugin_window}
[ -n "$editor" ] && pass "the plug-in's own ${editor_size} window $editor is inside Ardour's" ||
  echo "INFO no ${editor_size} window inside Ardour's; the screenshots show Ardour's whole plug-in window"
shot "$plugin_window" "$out/ardour-window.png"
shot "$target" "$out/ardour-editor-1.png"
sleep "$seconds"
shot "$target" "$out/ardour-editor-2.png"
shot root "$out/ardour-screen.png"
if [ -s "$out/ardour-editor-1.png" ] && [ -s "$out/ardour-editor-2.png" ]; then
  diff=$(differing_pixels "$out/ardour-editor-1.png" "$out/ardour-editor-2.png")
  if [ "${diff:-0}" -gt 0 ]; then
    pass "the editor moves: $diff pixels differ between two screenshots ${seconds} s apart"
  else
    fail "the editor did not change in ${seconds} s while the transport played"
  fi
else
  fail "no screenshot of the editor"
fi
grep -q 'Transport' "$work/ardour.log" >/dev/null 2>&1 || true

kill -0 "$ardour_pid" 2>/dev/null || { fail "Ardour ended while the editor was open"; ardour_pid=""; finish; }

echo "== Closing the plug-in's window"
close_window "$plugin_window"
for _ in $(seq 40); do is_viewable "$plugin_window" || break; sleep 0.25; done
sleep 1
if is_viewable "$plugin_window"; then
  fail "the plug-in's window is still shown after WM_DELETE_WINDOW"
else
  pass "the plug-in's window closed"
fi
threads_closed=$(thread_count "$ardour_pid")
echo "INFO Ardour's threads: $threads_open with the editor open, $threads_closed after closing it"
if kill -0 "$ardour_pid" 2>/dev/null && is_viewable "$main"; then
  pass "Ardour still runs after closing the editor"
else
  fail "Ardour ended when the editor closed"
  ardour_pid=""
  finish
fi

echo "== Quitting Ardour"
xdotool windowraise "$main"
xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+q
for _ in $(seq 20); do kill -0 "$ardour_pid" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$ardour_pid" 2>/dev/null; then
  # The question whether to save the session: "Just quit".
  shot root "$out/ardour-quit-dialog.png"
  xdotool key --clearmodifiers Escape
  for _ in $(seq 20); do kill -0 "$ardour_pid" 2>/dev/null || break; sleep 0.5; done
fi
if kill -0 "$ardour_pid" 2>/dev/null; then
  echo "INFO Ardour did not quit by itself; ended"
else
  wait "$ardour_pid"
  rc=$?
  ardour_pid=""
  if [ $rc -lt 128 ]; then pass "Ardour quit (exit status $rc)"; else fail "Ardour ended with signal $((rc - 128)) on quitting"; fi
fi
finish
