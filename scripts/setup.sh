#!/usr/bin/env bash
# Installs every Debian package that the build, the tests, the benchmarks and
# the demo use, when it is missing. Runs as root, or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libpng-dev zlib1g-dev libfreetype-dev fonts-liberation2 libx11-dev
  libxcb1-dev libxcb-shm0-dev libxcb-keysyms1-dev libxcb-xtest0-dev
  libsndfile1-dev libgtest-dev libbenchmark-dev libfftw3-dev
  rst2pdf python3-docutils
  xvfb xdotool valgrind
  lsp-plugins-vst
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
