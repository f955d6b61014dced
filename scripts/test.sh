#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: in a
# release build, and in a debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer; then the test programs that run threads once
# more under ThreadSanitizer. The window tests run on an Xvfb started here on a
# free display. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc)

# One X server for every window test, on a display it picks itself; ended
# when the script ends, whichever way.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
read -r -t 10 -u "$displayfd" display_number
export DISPLAY=":$display_number"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORVANO_WERROR=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSORVANO_SANITIZE=ON -DSORVANO_BUILD_BENCH=OFF -DSORVANO_WERROR=ON
cmake --build build/sanitize -j "$jobs"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSORVANO_THREAD_SANITIZE=ON -DSORVANO_BUILD_BENCH=OFF -DSORVANO_WERROR=ON
# The test programs whose tests run threads: the binding, the graphics core
# and the plug-in lock gate, the engine (ring, frames), the editor (view,
# panel countdown) and the window host.
tsan_tests=(test_framework test_graphics test_engine test_editor test_platform)
cmake --build build/tsan -j "$jobs" --target "${tsan_tests[@]}"
for t in "${tsan_tests[@]}"; do
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "build/tsan/tests/$t"
done
