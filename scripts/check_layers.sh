#!/usr/bin/env bash
# Fails when a source includes across the layer arrows:
#   app -> engine, controls -> platform; inside the platform rtl < win < gdi < user < vcl
#   (the class library also sees the window system's Qt-free headers, platform/qt sees all);
#   only platform/qt includes Qt; only platform/
#   (and the stand-alone helper programs in tools/, which may use the layers like the
#   program) call POSIX directly; nothing outside app/
#   includes app/; the runtime includes only itself, and the Ghostscript argument grammar
#   (compiled into the console program as well) only the standard library.
# Run by ctest (the "LayerArrows" test) and usable by hand: scripts/check_layers.sh [root]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 2

# folder prefix | project folders it may include (regex on the include path)
rules=(
  "platform/rtl/gsArgs.|^platform/rtl/gsArgs\.h$"
  "platform/rtl/|^platform/rtl/"
  "platform/win/|^platform/(rtl|win)/"
  "platform/gdi/|^platform/(rtl|win|gdi)/"
  "platform/user/|^platform/(rtl|win|gdi|user)/"
  "platform/vcl/|^platform/(rtl|win|gdi|user|vcl|qt)/"
  "platform/qt/|^platform/"
  "platform/|^platform/"
  "engine/|^(engine/|platform/(rtl|win|gdi|user|vcl|automation)/)"
  "controls/extended/|^(controls/extended/|platform/(rtl|win|gdi|user|vcl)/)"
  "controls/styled/|^(controls/styled/|platform/(rtl|win|gdi|user|vcl)/)"
  "app/|^(app/|engine/|controls/|platform/(rtl|win|gdi|user|vcl|automation)/)"
  "tools/|^(tools/|controls/|platform/(rtl|win|gdi|user|vcl|automation)/|\.\./\.\./platform/(rtl|win|automation)/)"
)
qt_re='#include[[:space:]]*<Q[A-Za-z]*(/[A-Za-z]+)?>|#include[[:space:]]*<Qt[A-Za-z]+/'
posix_re='#include[[:space:]]*<(unistd|fcntl|dirent|signal|spawn|dlfcn|poll|pwd|grp|termios|glob|fnmatch|sys/[a-z_]+)\.h>'

bad=0
report() { echo "$1"; bad=1; }
while IFS= read -r f; do
  rule=""
  for r in "${rules[@]}"; do
    if [[ $f == ${r%%|*}* ]]; then rule=${r#*|}; break; fi
  done
  [ -n "$rule" ] || continue
  while IFS= read -r line; do
    n=${line%%:*}; inc=${line#*:}
    path=$(sed -E 's/.*#include[[:space:]]*"([^"]+)".*/\1/' <<<"$inc")
    # an include next to the file itself (no folder) stays inside its layer
    [[ $path == */* ]] || continue
    [[ $path =~ $rule ]] || report "$f:$n: includes \"$path\" across the layer arrows"
  done < <(grep -nE '^[[:space:]]*#include[[:space:]]*"' "$f" | sed -E 's/^([0-9]+):/\1:/')
  if [[ $f != platform/qt/* ]] && grep -qE "$qt_re" "$f"; then
    report "$f: includes Qt outside platform/qt"
  fi
  if [[ $f != platform/* && $f != tools/* ]] && grep -qE "$posix_re" "$f"; then
    report "$f: calls POSIX directly outside platform/ ($(grep -oE "$posix_re" "$f" | head -1))"
  fi
done < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
[ $bad -eq 0 ] && echo "layer arrows hold"
exit $bad
