#!/usr/bin/env bash
# Builds and runs every test. With --asan, builds a separate AddressSanitizer/UBSan tree.
# On a fresh machine it first installs what the build and the tests need (scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
# The compiler cache keys on paths below the tree's root, so every clone shares it.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
scripts/setup.sh --check || scripts/setup.sh --packages
dir=build; extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--asan" ]; then
  dir=build-asan; extra=(-DVEXOMAT_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
# VEXOMAT_WERROR=1 (set by CI) turns warnings into errors.
cmake -S . -B "$dir" -G Ninja "${extra[@]}" -DVEXOMAT_WERROR="${VEXOMAT_WERROR:-OFF}" >/dev/null
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
