#!/usr/bin/env bash
# Whole-process time of the office runs against the bare office and Ghostscript runs they
# need: doc2pdf of a 3-page document against soffice --convert-to pdf (fresh profile) and
# the two Ghostscript passes (PDF to PostScript, PostScript to PDF); tiff2pdf of a 3-page
# TIFF against soffice --convert-to pdf of the TIFF and the same two passes.
# Usage: bench/bench_office.sh [build folder] [rounds]
set -euo pipefail
build=${1:-build}
rounds=${2:-5}
src=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vx-bench-office-XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# The program in a folder of its own, as the unattended runs use it.
mkdir "$work/prog"
ln -s "$bin/vexomat" "$work/prog/vexomat"
ln -s "$bin/gs" "$work/prog/gs"
ln -s "$bin/additional" "$work/prog/additional"

soffice --headless "-env:UserInstallation=file://$work/maker" --convert-to doc --outdir "$work" \
  "$src/tests/data/three_pages.fodt" >/dev/null 2>&1
printf '%s\n' '%!PS' \
  '<< /PageSize [595 842] >> setpagedevice 1 0 0 setrgbcolor 50 50 495 742 rectfill showpage' \
  '<< /PageSize [595 842] >> setpagedevice 0 1 0 setrgbcolor 50 50 495 742 rectfill showpage' \
  '<< /PageSize [595 842] >> setpagedevice 0 0 1 setrgbcolor 50 50 495 742 rectfill showpage' > "$work/pages.ps"
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=tiff24nc -r100 -sCompression=lzw -sOutputFile="$work/three.tif" "$work/pages.ps"

now() { date +%s.%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

bare() {  # the bare work for one source: office, then the two Ghostscript passes
  local file=$1 n=$2
  rm -rf "$work/bare$n" && mkdir "$work/bare$n"
  soffice --headless "-env:UserInstallation=file://$work/bare$n/profile" --convert-to pdf \
    --outdir "$work/bare$n" "$file" >/dev/null 2>&1
  local pdf="$work/bare$n/$(basename "${file%.*}").pdf"
  gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ps2write -sOutputFile="$work/bare$n/x.ps" "$pdf"
  gs -q -dNOPAUSE -dBATCH -dSAFER -r300 -sDEVICE=pdfwrite -sOutputFile="$work/bare$n/x.pdf" "$work/bare$n/x.ps"
}

measure() {  # label function args
  local label=$1; shift
  local times=()
  for ((i = 0; i < rounds; i++)); do
    local t0; t0=$(now)
    "$@"
    times+=("$(echo "$(now) - $t0" | bc)")
  done
  printf '%s\n' "${times[@]}" | median
}

run_doc() { "$work/prog/vexomat" -c doc2pdf -s "$work/three_pages.doc" -d "$work" >/dev/null 2>&1; }
run_tiff() { "$work/prog/vexomat" -c tiff2pdf -s "$work/three.tif" -d "$work" >/dev/null 2>&1; }

doc=$(measure doc2pdf run_doc)
docBare=$(measure bare bare "$work/three_pages.doc" 1)
tif=$(measure tiff2pdf run_tiff)
tifBare=$(measure bare bare "$work/three.tif" 2)
printf 'doc2pdf  3 pages: %.2f s, bare %.2f s, ratio %.2f\n' "$doc" "$docBare" "$(echo "$doc / $docBare" | bc -l)"
printf 'tiff2pdf 3 pages: %.2f s, bare %.2f s, ratio %.2f\n' "$tif" "$tifBare" "$(echo "$tif / $tifBare" | bc -l)"
