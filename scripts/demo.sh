#!/usr/bin/env bash
# Installs what is missing, builds the release, installs the plug-in into
# ~/.vst and runs the built-in test signal through the installed plug-in with
# the command-line host; then draws a region over one of the signal's tones in
# the headless editor (sorvano-render), mutes it, saves that state as a
# program chunk and runs the signal through the installed plug-in again with
# that chunk. Works on a fresh Debian 12 machine as root.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)"

vst_dir="${HOME:?HOME must be set}/.vst"
mkdir -p "$vst_dir"
install -m 0755 build/release/Sorvano.so "$vst_dir/Sorvano.so"
# The manual goes beside the module: the editor's logo opens it from there.
install -m 0644 build/release/docs/Sorvano_manual.pdf build/release/docs/Sorvano_manual.html "$vst_dir/"
plugin="$vst_dir/Sorvano.so"
host="$root/build/release/tools/vsthost/sorvano-host"
render="$root/build/release/tools/render/sorvano-render"

demo_dir="$root/build/demo"
mkdir -p "$demo_dir"
input="$demo_dir/test-signal.wav"
output="$demo_dir/sorvano-output.wav"
program="$demo_dir/sorvano-program.fxp"
log="$demo_dir/host-output.txt"
events="$demo_dir/mute-a-tone.events"
picture="$demo_dir/sorvano-editor.png"
muted_program="$demo_dir/sorvano-muted-tone.fxp"
muted_output="$demo_dir/sorvano-muted-tone.wav"
regions="$demo_dir/regions.txt"
muted_log="$demo_dir/host-output-muted-tone.txt"

"$host" process "$plugin" --signal "$input" --out "$output" --save-program "$program" >"$log"

# A user's gestures on the editor, in editor pixels: while the signal plays,
# a region is drawn ahead of the playhead over the fifth tone of the right
# channel (1.00 to 1.25 s, about 1.1 kHz; the band stays clear of the tones
# before and after it) and its "M" button pressed.
cat >"$events" <<'EVENTS'
play 0.3
press 146 258
drag 165 266
drag 184 274
release 184 274
move 130 258
press 130 258
release 130 258
play 4
EVENTS
"$render" "$input" "$picture" --bright 0.1 --events "$events" --print-regions \
  --save-program "$muted_program" >"$regions"
"$host" process "$plugin" --in "$input" --out "$muted_output" --load-program "$muted_program" >"$muted_log"
# The listing: start end lowHz highHz lowRow highRow gain fade mute solo
# bypass; the test signal's rate is 48000 Hz.
region=$(awk 'NR == 1 { printf "%.2f to %.2f s, %d to %d Hz, %s", $1 / 48000, $2 / 48000, $3, $4, $9 == 1 ? "muted" : "not muted" }' "$regions")

cat <<REPORT

=== Sorvano demo ===
Built the plug-in in release mode and installed it as $plugin.

Generated a four-second stereo test signal (a sine sweep from 40 Hz to 16 kHz
on the left, a rising sequence of tones over soft noise on the right) and ran
it through the installed plug-in with our command-line VST host, the way a
host's audio thread would: blocks of 1024 samples, reporting a playing
timeline to the plug-in. With no regions drawn, Sorvano analyses and
resynthesises the audio unchanged and delays it by its reported latency.

  input (test signal):  $input
  output (processed):   $output
  plug-in state saved:  $program
  what the host printed: $log

What the host reported:
REPORT
sed 's/^/  /' "$log"

echo
echo "What the plug-in says about itself (sorvano-host describe):"
"$host" describe "$plugin" | sed 's/^/  /'

cat <<REPORT

=== A region drawn and muted ===
The headless editor (sorvano-render) played the same signal through the
plug-in while the gestures in $events drew a region over
one of the right channel's tones and pressed its "M" (mute) button; it wrote
the editor's picture and saved the plug-in's state as a program chunk, the
bytes a host stores in its project. The installed plug-in then processed the
signal with that chunk loaded (sorvano-host process --load-program).

  the region:            $region
  editor picture:        $picture
  program chunk:         $muted_program
  output (tone muted):   $muted_output
  what the host printed: $muted_log

Look at the picture: the short white bars, rising from the lower left, are
the right channel's tones, the curve is the left channel's sweep. Inside the
region's box (marked "M", with its buttons and knobs beside it) the tone at
about 1.1 kHz is gone and the noise is dark: the sonogram shows the
processed audio. Listen to $muted_output
against $output: the fifth tone of the right channel, a
quarter of a second from 1.00 s, is silent; the tones before and after it,
the noise outside the region's band and the sweep on the left are unchanged
(everything comes out 2048 samples, about 43 ms, late: the plug-in's latency).

The manual is installed beside the plug-in: $vst_dir/Sorvano_manual.pdf
(and Sorvano_manual.html); a click on the logo in the editor opens it.

To use Sorvano in a Linux VST host, let the host scan $vst_dir
(hosts that scan only system folders: start them with LXVST_PATH=$vst_dir,
or copy Sorvano.so to /usr/local/lib/vst). See README.md.
REPORT
