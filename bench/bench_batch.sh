#!/usr/bin/env bash
# Whole-process time of unattended runs against the bare Ghostscript command line that does
# the same work: ps2pdf of a 20-page text document and pdf2jpg of the 20-page PDF (300 dpi,
# the window's built-in resolution). The bare command uses exactly the switches the program
# logged for its run. Prints the medians and the overhead ratio.
# Usage: bench/bench_batch.sh [build folder] [rounds]
set -euo pipefail
build=${1:-build}
rounds=${2:-7}
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vx-bench-batch-XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

mkdir "$work/prog" "$work/out"
ln -s "$bin/vexomat" "$work/prog/vexomat"
ln -s "$bin/gs" "$work/prog/gs"

# Twenty pages of running text, as a report would have.
python3 - "$work/doc.ps" <<'PY'
import sys
lines = ["%!PS-Adobe-3.0", "/F { /Times-Roman findfont 11 scalefont setfont } def"]
for page in range(1, 21):
    lines.append("F")
    for row in range(60):
        y = 780 - row * 12
        lines.append(f"72 {y} moveto (Page {page}, line {row + 1}: the quick brown fox jumps over the lazy dog 0123456789.) show")
    lines.append("0.2 0.4 0.8 setrgbcolor 400 40 120 60 rectfill 0 setgray showpage")
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
PY

now() { date +%s.%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
elapsed() { local t0; t0=$(now); "$@" >/dev/null 2>&1; echo "$(now) - $t0" | bc -l; }

# The switches of the last Ghostscript run, from the program's day log.
logged_params() { grep ' | Parameter    | ' "$work"/prog/logs/*/info.log | tail -1 | sed 's/.* | Parameter    | //'; }

# The logged switches as a NUL-separated list, the output redirected into the scratch folder.
gs_args() {
  python3 - "$1" "$2" <<'PY'
import shlex, sys
args = shlex.split(sys.argv[1])
args = ["-sOutputFile=" + sys.argv[2] if a.startswith("-sOutputFile=") else a for a in args]
sys.stdout.write("\0".join(args) + "\0")
PY
}

report() {
  local name=$1 ours=$2 bare=$3
  printf '%-8s vexomat %.3f s   bare gs %.3f s   ratio %.3f\n' "$name" "$ours" "$bare" "$(echo "$ours / $bare" | bc -l)"
}

run_case() {
  local name=$1 src=$2 out=$3
  shift 3
  "$work/prog/vexomat" -c "$name" -s "$src" -d "$work/out/" "$@" >/dev/null 2>&1
  local args=()
  mapfile -d '' args < <(gs_args "$(logged_params)" "$work/out/$out")
  local ours=() bare=()
  for ((i = 0; i < rounds; i++)); do
    ours+=("$(elapsed "$work/prog/vexomat" -c "$name" -s "$src" -d "$work/out/" "$@")")
    bare+=("$(elapsed gs "${args[@]}")")
  done
  report "$name" "$(printf '%s\n' "${ours[@]}" | median)" "$(printf '%s\n' "${bare[@]}" | median)"
}

# The bare output names: one PDF; one JPEG per page, as the program asks Ghostscript for.
run_case ps2pdf "$work/doc.ps" bare.pdf
run_case pdf2jpg "$work/out/doc.pdf" bare_p%04d.jpg
