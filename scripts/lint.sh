#!/usr/bin/env bash
# Static checks, each of which fails the run: every source laid out by .clang-format, the
# whole tree (tests, benchmarks and fuzz targets included) built with clang and every warning
# an error, then clang-tidy with the project's .clang-tidy over every source that build
# compiles.
#
#   scripts/lint.sh
# Environment: VEXOMAT_LINT_BUILD (build folder, default build-clang), LINT_JOBS (parallel
# jobs, default all processors).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXOMAT_LINT_BUILD:-$root/build-clang}
jobs=${LINT_JOBS:-$(nproc)}
cd "$root"
# The compiler cache keys on paths below the tree's root, so every clone shares it.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
echo "== clang build with -Werror"
CC=clang CXX=clang++ cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEXOMAT_WERROR=ON -DVEXOMAT_BENCH=ON -DVEXOMAT_FUZZ=ON >/dev/null
cmake --build "$build" -j "$jobs"

echo "== clang-tidy"
# Every compiled source of the tree (not the resource files the build generates); the
# output without its colours.
log=$build/clang-tidy.log
status=0
run-clang-tidy -p "$build" -j "$jobs" -quiet \
  "^$root/(platform|engine|controls|app|tools|tests|bench|fuzz)/" 2>&1 |
  sed 's/\x1b\[[0-9;]*m//g' >"$log" || status=$?
if [ "$status" -ne 0 ]; then
  grep -E '(warning|error):' "$log" | sort -u
  echo "clang-tidy: the findings above (the whole output is in $log)"
  exit 1
fi
echo "clang-tidy: no findings in $(grep -c '^clang-tidy' "$log") sources"
