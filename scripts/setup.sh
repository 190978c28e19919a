#!/usr/bin/env bash
# Installs everything Vexomat needs to build, test and run (Debian packages only), then
# builds it into build/. Safe to run again.
#   scripts/setup.sh              install what is missing, then build
#   scripts/setup.sh --packages   only install what is missing
#   scripts/setup.sh --check      exit 0 when nothing is missing, 1 otherwise (installs nothing)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}
case $mode in
  "" | --packages | --check) ;;
  *) echo "usage: scripts/setup.sh [--packages|--check]" >&2; exit 2 ;;
esac

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  libjpeg-dev libtiff-dev zlib1g-dev libfontconfig-dev libqpdf-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ghostscript poppler-utils qt6-translations-l10n
  libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-impress-nogui python3-uno mdbtools
  fonts-wqy-zenhei fonts-arphic-uming fonts-liberation
  clang clang-tidy clang-format libclang-rt-14-dev libgif-dev bc imagemagick
  mupdf-tools qpdf libtiff-tools
  xvfb x11-utils xdotool openbox
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "$mode" = --check ]; then
  ((${#missing[@]} == 0)) && command -v cmake >/dev/null && command -v ninja >/dev/null
  exit
fi
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[ "$mode" = --packages ] && exit 0

# The compiler cache keys on paths below the tree's root, so every clone shares it.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXOMAT_WERROR="${VEXOMAT_WERROR:-OFF}"
cmake --build build
