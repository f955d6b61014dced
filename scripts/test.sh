#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: in a
# release build, and in a debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORVANO_WERROR=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSORVANO_SANITIZE=ON -DSORVANO_BUILD_BENCH=OFF -DSORVANO_WERROR=ON
cmake --build build/sanitize -j "$jobs"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
