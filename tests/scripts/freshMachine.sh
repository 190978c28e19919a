#!/usr/bin/env bash
# The README's two commands on a machine where nothing is installed or built: each sets the
# machine up first (scripts/setup.sh), then does its job. The package tools and the build
# tools are stand-ins that record what they are asked, over a copy of the scripts.
#   tests/scripts/freshMachine.sh <source root>
set -euo pipefail
src=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/tree/scripts" "$tmp/tree/resources/samples" "$tmp/bin"
cp "$src"/scripts/{setup,test,demo}.sh "$tmp/tree/scripts/"
cp "$src/resources/samples/sample.ps" "$tmp/tree/resources/samples/"
log=$tmp/log
stub() {  # name, then the shell code it runs after recording its arguments
  local name=$1
  shift
  printf '#!/usr/bin/env bash\necho "%s $*" >>"%s"\n%s\n' "$name" "$log" "$*" >"$tmp/bin/$name"
  chmod +x "$tmp/bin/$name"
}
# Nothing is installed until apt-get installs it; then everything is, cmake and ninja too.
stub dpkg-query '[ -f "'"$tmp"'/installed" ] && echo "install ok installed"; exit 0'
stub sudo 'exec "$@"'
# cmake and ninja exist once the packages are in; the build makes the program.
printf '#!/bin/sh\necho "vexomat $*" >>"%s"\n' "$log" >"$tmp/vexomat"
chmod +x "$tmp/vexomat"
stub cmake '[ -f "'"$tmp"'/installed" ] || exit 127
if [ "$1" = --build ]; then mkdir -p "$2/bin"; cp "'"$tmp"'/vexomat" "$2/bin/vexomat"; fi'
stub ninja 'exit 0'
stub ctest '[ -f "'"$tmp"'/installed" ] || exit 127'
hide() { mv "$tmp/bin/cmake" "$tmp/bin/.cmake"; mv "$tmp/bin/ninja" "$tmp/bin/.ninja"; }
show() { mv "$tmp/bin/.cmake" "$tmp/bin/cmake"; mv "$tmp/bin/.ninja" "$tmp/bin/ninja"; }
stub apt-get '[ "$1" = install ] && { touch "'"$tmp"'/installed"; mv "'"$tmp"'/bin/.cmake" "'"$tmp"'/bin/cmake"; mv "'"$tmp"'/bin/.ninja" "'"$tmp"'/bin/ninja"; }; exit 0'

fail() {
  echo "$1"
  echo "--- what was run:"
  cat "$log"
  exit 1
}
order() {  # the log holds these lines, in this order
  local at=0 n
  for want in "$@"; do
    n=$(grep -nF -- "$want" "$log" | cut -d: -f1 | awk -v a="$at" '$1 > a { print; exit }' || true)
    [ -n "$n" ] || fail "not run (in this order): $want"
    at=$n
  done
}
fresh() {
  rm -rf "$tmp/installed" "$tmp/tree/build" "$log"
  touch "$log"
  [ -f "$tmp/bin/cmake" ] && hide
  true
}

export PATH="$tmp/bin:$PATH"

fresh
(cd "$tmp" && tree/scripts/test.sh) >"$tmp/out" 2>&1 || fail "scripts/test.sh failed on a fresh machine: $(cat "$tmp/out")"
order "apt-get install" "cmake -S . -B build" "cmake --build build" "ctest --test-dir build"

fresh
(cd "$tmp" && tree/scripts/demo.sh "$tmp/demo") >"$tmp/out" 2>&1 || fail "scripts/demo.sh failed on a fresh machine: $(cat "$tmp/out")"
order "apt-get install" "cmake --build build" "vexomat -c ps2pdf" "vexomat -c pdf2jpg"

# Set up already: no package is installed again.
fresh
touch "$tmp/installed"
show
(cd "$tmp" && tree/scripts/test.sh) >"$tmp/out" 2>&1 || fail "scripts/test.sh failed: $(cat "$tmp/out")"
if grep -q "apt-get" "$log"; then fail "scripts/test.sh installed packages on a machine that has them"; fi
order "cmake -S . -B build" "ctest --test-dir build"
echo "both commands set a fresh machine up"
