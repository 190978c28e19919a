#!/usr/bin/env bash
# The main job: converts the bundled PostScript sample to PDF and that PDF to JPEG pages,
# unattended, exactly as a user would from a terminal. Results go to build/demo/ (or $1).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/bin/vexomat ] || scripts/setup.sh
out="$(realpath -m "${1:-build/demo}")"
mkdir -p "$out"
cp resources/samples/sample.ps "$out/sample.ps"

build/bin/vexomat -c ps2pdf -s "$out/sample.ps" -d "$out/"
echo "ps2pdf: exit code $?"
build/bin/vexomat -c pdf2jpg -s "$out/sample.pdf" -d "$out/" -or 100
echo "pdf2jpg: exit code $?"
ls -l "$out"
