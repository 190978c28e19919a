#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, runs each over its committed corpus (every input
# once, as a regression test), then fuzzes each for a bounded time. New inputs found by the
# bounded run go to a scratch folder, never into the committed corpus.
#
#   scripts/fuzz.sh [seconds per target, default 20]
# Environment: VEXOMAT_FUZZ_BUILD (build folder, default build-fuzz), FUZZ_JOBS (parallel
# targets in the bounded run, default all at once).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXOMAT_FUZZ_BUILD:-$root/build-fuzz}
secs=${1:-20}
# The compiler cache keys on paths below the tree's root, so every clone shares it.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=true
targets=(fuzz_gif_lzw fuzz_lzrw fuzz_wildcard fuzz_gs_args fuzz_pdf_pages fuzz_crop_boxes fuzz_gif_stream fuzz_ani fuzz_dib
  fuzz_sty_stream fuzz_sty_container fuzz_truetype_cmap fuzz_rtf fuzz_office_encryption)

gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${gen[@]}" -DVEXOMAT_FUZZ=ON -DVEXOMAT_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "${targets[@]}"

scratch=$build/fuzz-scratch
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"

for t in "${targets[@]}"; do
  corpus=$root/fuzz/corpus/$t
  echo "== $t: regression over $(ls "$corpus" | wc -l) committed inputs"
  "$build/fuzz/$t" -artifact_prefix="$artifacts/$t-" "$corpus"/* >"$build/$t-regression.log" 2>&1 || {
    tail -40 "$build/$t-regression.log"; echo "$t: a committed input fails"; exit 1; }
done

pids=()
for t in "${targets[@]}"; do
  rm -rf "$scratch/$t"; mkdir -p "$scratch/$t"
  echo "== $t: fuzzing for ${secs}s"
  "$build/fuzz/$t" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$t-" "$scratch/$t" "$root/fuzz/corpus/$t" >"$build/$t-fuzz.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  if wait "${pids[$i]}"; then
    grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec' "$build/$t-fuzz.log" | sed "s/^/$t /"
  else
    tail -40 "$build/$t-fuzz.log"; echo "$t: the fuzzer found a failure (see $artifacts)"; status=1
  fi
done
exit $status
