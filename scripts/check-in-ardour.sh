#!/usr/bin/env bash
# Manual check of Sorvano.so in a real third-party VST 2.x host: Debian 12's
# Ardour, headless. Not part of the test suite or CI.
#
# Installs Ardour when it is missing, builds the module (or takes the one
# given) and the headless editor and command-line host, runs Ardour's VST scanner on it, then drives Ardour's Lua session
# tool on the "None (Dummy)" backend (scripts/check-in-ardour.lua): a new
# session with a stereo track, the plug-in inserted, its parameters listed,
# an automation ramp played, audio run, one parameter set from the host, the
# session saved and reopened (the plug-in's state chunk must bring the value
# back, also when the host's own copy of the values is wrong), and a session
# with a damaged chunk opened. The same steps run once for a third-party
# plug-in, to tell the plug-in's faults from the tool's limits. Then, for
# Sorvano only, a state with a muted region drawn in sorvano-render is put
# into the session as its chunk: the session must play it (the sine silenced
# inside the region's time span, unchanged after it), save the same chunk, and
# reopen with the same chunk and the same processed audio.
#
# Usage: scripts/check-in-ardour.sh [--module PATH] [--build-dir DIR]
#            [--third-party PATH | --no-third-party] [--keep]
# Exit status: 0 when every check of Sorvano passed, 1 otherwise.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
module=""
build_dir="$root/build/ardour-check"
third_party="/usr/lib/vst/lsp-plugins/compressor-stereo.so"
keep=0

usage() { sed -n '2,/^# Exit status/p' "$0" | sed 's/^# \{0,1\}//'; }

while [ $# -gt 0 ]; do
  case "$1" in
    --module) module=$2; shift 2 ;;
    --build-dir) build_dir=$2; shift 2 ;;
    --third-party) third_party=$2; shift 2 ;;
    --no-third-party) third_party=""; shift ;;
    --keep) keep=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "unknown option: $1" >&2; usage >&2; exit 2 ;;
  esac
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

lua_tool=$(ls /usr/bin/ardour*-lua 2>/dev/null | head -n1)
if [ -z "$lua_tool" ]; then
  echo "== Installing Ardour"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ardour || exit 1
  lua_tool=$(ls /usr/bin/ardour*-lua 2>/dev/null | head -n1)
fi
scanner=$(ls /usr/lib/ardour*/ardour-vst-scanner 2>/dev/null | head -n1)
lib_dir=$(dirname "$scanner")
if [ -z "$lua_tool" ] || [ -z "$scanner" ]; then
  echo "Ardour's Lua session tool or VST scanner not found" >&2
  exit 1
fi

# The tools that make the region's chunk are built in any case.
if ! command -v cmake >/dev/null || ! command -v ninja >/dev/null; then
  "$root/scripts/setup.sh" || exit 1
fi
targets=(sorvano-render sorvano-host)
[ -z "$module" ] && targets+=(Sorvano)
echo "== Building ${targets[*]} in $build_dir"
mkdir -p "$build_dir"
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DSORVANO_BUILD_TESTS=OFF -DSORVANO_BUILD_BENCH=OFF -DSORVANO_BUILD_MANUAL=OFF >"$build_dir.log" 2>&1 &&
  cmake --build "$build_dir" --target "${targets[@]}" >>"$build_dir.log" 2>&1 ||
  { tail -n 30 "$build_dir.log"; echo "build failed, see $build_dir.log" >&2; exit 1; }
[ -z "$module" ] && module="$build_dir/Sorvano.so"
[ -f "$module" ] || { echo "no module at $module" >&2; exit 1; }

work=$(mktemp -d /tmp/sorvano-ardour.XXXXXX)
if [ "$keep" -eq 0 ]; then trap 'rm -rf "$work"' EXIT; fi
# A home of its own: Ardour's configuration and plug-in cache start empty and
# the user's are left alone.
export HOME="$work/home"
mkdir -p "$HOME"

summary=()
sorvano_failed=0

# The state a user leaves behind: in the headless editor at 48 kHz a region
# is drawn over the whole main pane (samples 0 to 220160, the whole band) and
# its "M" button pressed; the program chunk sorvano-render saves becomes,
# through sorvano-host, the bank chunk that Ardour stores (it asks for index
# 0), with "bright" and "colormap" at the values the session sets.
region_chunk="$work/muted-region.b64"
make_region_chunk() {
  local dir="$work/region-state"
  mkdir -p "$dir"
  cat >"$dir/mute.events" <<'EVENTS'
press 31 41
drag 300 200
drag 575 352
release 575 352
move 40 55
press 40 55
release 40 55
EVENTS
  echo
  echo "== A muted region drawn in sorvano-render"
  "$build_dir/tools/vsthost/sorvano-host" signal "$dir/signal.wav" --rate 48000 --seconds 1 >/dev/null &&
    "$build_dir/tools/render/sorvano-render" "$dir/signal.wav" "$dir/editor.png" --events "$dir/mute.events" \
      --print-regions --save-program "$dir/muted.fxp" >"$dir/regions.txt" &&
    "$build_dir/tools/vsthost/sorvano-host" state "$module" --load-program "$dir/muted.fxp" \
      --set bright=0.75 --set colormap=0.6666667 --save-bank "$dir/muted.fxb" >"$dir/state.txt" ||
    { summary+=("FAIL sorvano regions: the muted region's chunk could not be made"); sorvano_failed=1; return 1; }
  sed 's/^/  region: /' "$dir/regions.txt"
  sed 's/^/  /' "$dir/state.txt"
  base64 -w0 "$dir/muted.fxb" >"$region_chunk"
}

# check LABEL IS_OURS VST_FILE PARAM VALUE ALSO GAIN LATENCY
check() {
  local label=$1 ours=$2 file=$3 param=$4 value=$5 also=$6 gain=$7 latency=$8
  local dir="$work/$label" fails=0 name
  mkdir -p "$dir/vst"
  # Ardour scans folders only; the module gets one to itself.
  if [ "$ours" -eq 1 ]; then cp "$file" "$dir/vst/"; else ln -s "$file" "$dir/vst/"; fi
  local vst="$dir/vst/$(basename "$file")"
  # The session tool takes a plug-in from the scanner's cache only when the
  # cache file is strictly newer than the module: a copy made in the same
  # second as the scan would be left out.
  [ "$ours" -eq 1 ] && touch -d "10 seconds ago" "$vst"

  echo
  echo "== $label: Ardour's VST scanner on $file"
  LD_LIBRARY_PATH="$lib_dir" timeout 120 "$scanner" -f -v "$vst" >"$dir/scan.txt" 2>&1
  local rc=$?
  sed 's/^/  /' "$dir/scan.txt"
  local info
  info=$(grep -o '<VST2Info [^>]*>' "$dir/scan.txt" | head -n1)
  name=$(sed -n 's/.* name="\([^"]*\)".*/\1/p' <<<"$info")
  if [ $rc -ne 0 ] || [ -z "$name" ]; then
    summary+=("FAIL $label scan: scanner exit $rc, no plug-in found")
    [ "$ours" -eq 1 ] && sorvano_failed=1
    return
  fi
  summary+=("PASS $label scan: $(sed -e 's/<VST2Info //' -e 's/>$//' <<<"$info")")
  if [ "$ours" -eq 1 ]; then
    grep -q 'name="Sorvano (No SSE2)" creator="Orvek"' <<<"$info" &&
      grep -q 'n_inputs="2" n_outputs="2"' <<<"$info" ||
      { summary+=("FAIL $label scan: expected \"Sorvano (No SSE2)\" by \"Orvek\", 2 in / 2 out"); sorvano_failed=1; }
  fi

  local args=("dir=$dir/session" "plugin=$name" "param=$param" "value=$value")
  local modes=(create reopen chunk-only bad-chunk)
  if [ "$ours" -eq 1 ] && make_region_chunk; then
    args+=("chunk=$region_chunk")
    modes+=(regions regions-reopen)
  fi
  [ -n "$also" ] && args+=("also=$also")
  [ -n "$gain" ] && args+=("gain=$gain")
  [ -n "$latency" ] && args+=("latency=$latency")
  local mode
  for mode in "${modes[@]}"; do
    echo
    echo "== $label: Ardour session, $mode"
    LXVST_PATH="$dir/vst" timeout 180 "$lua_tool" "$root/scripts/check-in-ardour.lua" \
      "mode=$mode" "${args[@]}" >"$dir/$mode.txt" 2>&1
    rc=$?
    grep -vE '^(Butler drops|lua/|\[WARNING\]: Falling back)' "$dir/$mode.txt" | sed 's/^/  /'
    while IFS= read -r line; do
      summary+=("${line%% *} $label $mode: ${line#* }")
    done < <(grep -E '^(PASS|FAIL|SKIP) ' "$dir/$mode.txt")
    if [ $rc -ne 0 ] || ! grep -qx "DONE $mode" "$dir/$mode.txt"; then
      summary+=("FAIL $label $mode: the session tool ended early (exit $rc$([ $rc -ge 128 ] && echo ", signal $((rc - 128))"))")
      fails=1
    fi
    grep -q '^FAIL ' "$dir/$mode.txt" && fails=1
    if [ "$mode" = create ] && [ $fails -ne 0 ]; then break; fi
  done
  [ "$ours" -eq 1 ] && [ $fails -ne 0 ] && sorvano_failed=1
}

# Sorvano: "bright" automated, then set to 0.75 (normalised), "colormap" to
# its third entry (2/3); the plug-in passes audio unchanged (0 dB) with 2048
# samples of latency.
check sorvano 1 "$module" bright 0.75 "colormap:0.6666667" 0 2048

if [ -n "$third_party" ]; then
  if [ -f "$third_party" ]; then
    check third-party 0 "$third_party" "" 0.75 "" "" ""
  else
    summary+=("SKIP third-party: $third_party not installed (apt-get install lsp-plugins-vst)")
  fi
fi

echo
echo "== Summary"
printf '  %s\n' "${summary[@]}"
echo
[ "$keep" -eq 1 ] && echo "Logs and sessions kept in $work"
if [ $sorvano_failed -eq 0 ]; then
  echo "RESULT: PASS (Sorvano loads, lists, automates, saves and restores its state with its regions, and runs audio in Ardour)"
  exit 0
fi
echo "RESULT: FAIL (see the FAIL lines for Sorvano above)"
exit 1
