#!/usr/bin/env bash
# Manual check of a plug-in's editor inside Debian 12's Audacity, under Xvfb.
# Not part of the test suite or CI.
#
# Installs what it needs when missing (Audacity, Xvfb, xdotool, ImageMagick,
# Python 3), builds Sorvano (or takes the module given), starts Audacity with
# the plug-in's folder in VST_PATH and its scripting pipe (mod-script-pipe)
# enabled, and drives it through that pipe: a stereo track with a 30 s sine
# chirp, then the plug-in's menu command, which opens Audacity's effect dialog
# with the plug-in's editor embedded. It takes two screenshots of the editor
# some seconds apart, closes the dialog the way a window manager's close
# button does, checks that Audacity still answers on the pipe, and quits
# Audacity without saving.
#
# Audacity gives the dialog's editor an instance of the plug-in of its own
# and processes audio (preview, apply) in other instances, and it plays only
# through a sound device, which this machine lacks: the editor sees no audio
# here, so the two screenshots are only reported, not required to differ.
#
# Usage: scripts/check-in-audacity-gui.sh [--module PATH] [--build-dir DIR]
#            [--editor-size WxH] [--out DIR] [--seconds S] [--keep]
#   --module PATH    the plug-in to open (any Linux VST 2.x plug-in with an
#                    X11 editor); default: Sorvano.so, built in --build-dir
#   --editor-size    size of the plug-in's own window inside the dialog
#                    (default 640x540, Sorvano's); the screenshots show only
#                    that window when it is found, the whole dialog otherwise
#   --out DIR        where the screenshots go (default build/gui-check/audacity)
#   --seconds S      time between the two screenshots (default 4)
# Exit status: 0 when every check passed, 1 otherwise.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=gui-check-common.sh
. "$root/scripts/gui-check-common.sh"

parse_gui_check_options audacity "$@"

install_missing audacity xvfb xdotool imagemagick x11-utils python3 || exit 1
pipe_module=$(ls /usr/lib/audacity/modules/mod-script-pipe.so /usr/lib/*/audacity/modules/mod-script-pipe.so 2>/dev/null | head -n1)
[ -n "$pipe_module" ] || { echo "Audacity's mod-script-pipe module not found" >&2; exit 1; }
to_pipe="/tmp/audacity_script_pipe.to.$(id -u)"
from_pipe="/tmp/audacity_script_pipe.from.$(id -u)"
if pgrep -u "$(id -u)" -x audacity >/dev/null; then
  echo "an Audacity of this user is running already; its scripting pipe would be shared" >&2
  exit 1
fi

if [ -z "$module" ]; then
  echo "== Building Sorvano in $build_dir"
  module=$(build_sorvano "$root" "$build_dir") || exit 1
fi
[ -f "$module" ] || { echo "no module at $module" >&2; exit 1; }
module=$(cd "$(dirname "$module")" && pwd)/$(basename "$module")
editor_w=${editor_size%x*}
editor_h=${editor_size#*x}

work=$(mktemp -d /tmp/sorvano-audacity-gui.XXXXXX)
audacity_pid=""
xvfb_pid=""
cleanup() {
  [ -n "$audacity_pid" ] && kill "$audacity_pid" 2>/dev/null && wait "$audacity_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ "$keep" -eq 0 ] && rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$out" "$work/vst" "$work/temp"
rm -f "$out"/*.png

# A home of its own, with the scripting module enabled and the welcome
# dialog off; Audacity fills in the rest of its preferences.
export HOME="$work/home"
mkdir -p "$HOME/.config/audacity"
version=$(dpkg-query -W -f='${Version}' audacity | sed 's/^[0-9]*://; s/[+~-].*//')
cat >"$HOME/.config/audacity/audacity.cfg" <<EOF
PrefsVersion=1.1.1r1
[Version]
Major=$(cut -d. -f1 <<<"$version")
Minor=$(cut -d. -f2 <<<"$version")
Micro=$(cut -d. -f3 <<<"$version")
[GUI]
ShowSplashScreen=0
[Directories]
TempDir=$work/temp
[Module]
mod-script-pipe=1
[ModulePath]
mod-script-pipe=$pipe_module
[ModuleDateTime]
mod-script-pipe=$(date -r "$pipe_module" +%Y-%m-%dT%H:%M:%S)
EOF
ln -s "$module" "$work/vst/"

summary=()
failed=0
pass() { summary+=("PASS $1"); echo "PASS $1"; }
fail() { summary+=("FAIL $1"); echo "FAIL $1"; failed=1; }
info() { summary+=("INFO $1"); echo "INFO $1"; }
finish() {
  echo
  echo "== Summary"
  printf '  %s\n' "${summary[@]}"
  echo
  echo "Screenshots in $out"
  [ "$keep" -eq 1 ] && echo "Logs kept in $work"
  if [ $failed -eq 0 ]; then echo "RESULT: PASS"; exit 0; fi
  echo "RESULT: FAIL"
  exit 1
}

# The pipe stays open both ways for the whole run: Audacity's end of it
# answers one client, which must keep it open between commands.
# pipe_send COMMAND : sends one scripting command.
pipe_send() {
  printf '%s\n' "$1" >&3
}
# pipe_reply [SECONDS] : prints the reply to the last command, up to its
# "BatchCommand finished" line; false when none came in time.
pipe_reply() {
  local seconds=${1:-30} line
  while IFS= read -r -t "$seconds" line <&4; do
    printf '%s\n' "$line"
    [[ $line == "BatchCommand finished"* ]] && return 0
  done
  return 1
}
# pipe COMMAND : sends a command and prints its reply.
pipe() {
  pipe_send "$1" && pipe_reply
}
# pipe_ok COMMAND : sends a command, true when Audacity answered OK.
pipe_ok() {
  pipe "$1" | tail -n1 | grep -q "^BatchCommand finished: OK"
}

start_xvfb || { fail "Xvfb did not start"; finish; }
echo "== Audacity on $DISPLAY"
# Fifos left by an Audacity that ended; the new one makes its own.
rm -f "$to_pipe" "$from_pipe"
VST_PATH="$work/vst" audacity >"$work/audacity.log" 2>&1 &
audacity_pid=$!
for _ in $(seq 120); do
  [ -p "$to_pipe" ] && [ -p "$from_pipe" ] && break
  kill -0 "$audacity_pid" 2>/dev/null || break
  sleep 0.5
done
if [ ! -p "$to_pipe" ] || [ ! -p "$from_pipe" ] || ! kill -0 "$audacity_pid" 2>/dev/null; then
  shot root "$out/audacity-no-pipe.png"
  fail "Audacity made no scripting pipe"
  finish
fi
exec 3>"$to_pipe" 4<"$from_pipe"
# A command sent while Audacity is still starting can go unanswered: ask
# until an answer comes, then drop whatever else is left on the pipe.
wait_for_window "^Audacity\$" 60 >/dev/null
answered=1
for _ in $(seq 12); do
  pipe_send "Help: Command=Help Format=Brief"
  if pipe_reply 5 | tail -n1 | grep -q "^BatchCommand finished: OK"; then answered=0; break; fi
done
while IFS= read -r -t 1 _ <&4; do :; done
if [ $answered -ne 0 ]; then
  shot root "$out/audacity-no-pipe.png"
  fail "Audacity's scripting pipe does not answer"
  finish
fi
pass "Audacity answers on its scripting pipe"

# The plug-in's entry in the Effect menu: Audacity scanned VST_PATH at start.
menus=$(pipe "GetInfo: Type=Menus Format=Brief")
line=$(grep -F "$work/vst/$(basename "$module");" <<<"$menus" | grep '"Effect_' | head -n1)
menu_id=$(grep -o '"Effect_[^"]*"' <<<"$line" | tr -d '"')
name=$(sed -n 's/^ *[0-9]* [0-9]* "\(.*\)\.\.\." .*/\1/p' <<<"$line")
if [ -z "$menu_id" ] || [ -z "$name" ]; then
  fail "the plug-in is not in Audacity's Effect menu"
  finish
fi
pass "Effect menu entry \"$name...\" ($menu_id)"

pipe_ok "NewStereoTrack:" &&
  pipe_ok "Select: Start=0 End=30 Mode=Set" &&
  pipe_ok "SelectTracks: Track=0 TrackCount=1 Mode=Set" &&
  pipe_ok "Chirp: StartFreq=200 EndFreq=12000 StartAmp=0.5 EndAmp=0.5" ||
  { fail "could not make a track with a chirp"; finish; }
pass "a stereo track with a 30 s chirp, selected"

echo "== The effect dialog"
# The menu command (not the scripting command, which applies the effect
# without a dialog) opens the dialog; its reply comes when the dialog closes.
pipe_send "$menu_id:"
dialog=$(wait_for_window "^$(sed 's/[][\\.*^$()+?{}|]/\\&/g' <<<"$name")\$" 30)
if [ -z "$dialog" ]; then
  shot root "$out/audacity-no-dialog.png"
  fail "no effect dialog \"$name\""
  finish
fi
xdotool windowraise "$dialog"
pass "Audacity opened the effect dialog \"$name\""
sleep 2
editor=$(editor_child "$dialog" "$editor_w" "$editor_h")
target=${editor:-$dialog}
[ -n "$editor" ] && pass "the plug-in's own ${editor_size} window $editor is inside the dialog" ||
  echo "INFO no ${editor_size} window inside the dialog; the screenshots show the whole dialog"
shot "$dialog" "$out/audacity-dialog.png"
shot "$target" "$out/audacity-editor-1.png"
sleep "$seconds"
shot "$target" "$out/audacity-editor-2.png"
shot root "$out/audacity-screen.png"
if [ -s "$out/audacity-editor-1.png" ] && [ -s "$out/audacity-editor-2.png" ]; then
  info "$(differing_pixels "$out/audacity-editor-1.png" "$out/audacity-editor-2.png") pixels differ between two screenshots ${seconds} s apart"
else
  fail "no screenshot of the editor"
fi
kill -0 "$audacity_pid" 2>/dev/null || { fail "Audacity ended while the editor was open"; audacity_pid=""; finish; }

echo "== Closing the dialog"
close_window "$dialog"
for _ in $(seq 40); do is_viewable "$dialog" || break; sleep 0.25; done
if is_viewable "$dialog"; then
  fail "the effect dialog is still shown after WM_DELETE_WINDOW"
else
  pass "the effect dialog closed"
fi
echo "INFO reply to the menu command: $(pipe_reply 30 | tail -n1)"
if kill -0 "$audacity_pid" 2>/dev/null && pipe_ok "Help: Command=Help Format=Brief"; then
  pass "Audacity still runs and answers after closing the editor"
else
  fail "Audacity does not answer after the editor closed"
  finish
fi

echo "== Quitting Audacity"
pipe_send "Exit:"
question=$(wait_for_window "^Save changes" 15)
if [ -n "$question" ]; then
  xdotool windowfocus --sync "$question" 2>/dev/null
  xdotool key --clearmodifiers alt+n
fi
for _ in $(seq 40); do kill -0 "$audacity_pid" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$audacity_pid" 2>/dev/null; then
  fail "Audacity did not quit"
else
  exec 3>&- 4<&-
  wait "$audacity_pid"
  rc=$?
  audacity_pid=""
  if [ $rc -lt 128 ]; then pass "Audacity quit (exit status $rc)"; else fail "Audacity ended with signal $((rc - 128)) on quitting"; fi
fi
finish
