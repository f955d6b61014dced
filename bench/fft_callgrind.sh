#!/usr/bin/env bash
# Instructions of one 2048-point forward + inverse FFT pair under callgrind:
# the program runs once with 0 and once with 1 pair after the same setup, and
# the difference of the two totals is the pair alone.
#   bench/fft_callgrind.sh <build dir> [sse2]
set -euo pipefail

program="${1:?usage: $0 <build dir> [sse2]}/bench/FftInstructionCount"
routines="${2:-}"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

total() {
  valgrind --tool=callgrind --callgrind-out-file="$out/$1.out" "$program" "$1" $routines >"$out/$1.log" 2>&1
  sed -n 's/^summary: //p' "$out/$1.out"
}

setup=$(total 0)
with_pair=$(total 1)
grep pairs "$out/1.log"
echo "setup only: $setup instructions"
echo "setup + one pair: $with_pair instructions"
echo "one forward + inverse pair at N = 2048: $((with_pair - setup)) instructions"
