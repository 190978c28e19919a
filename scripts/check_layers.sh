#!/usr/bin/env bash
# Fails when a source includes across the layer arrows:
#   app -> engine, controls -> platform; inside the platform rtl < win < gdi < user < vcl
#   (platform/qt, the back end that implements the class library's window system, sees them
#   all);
#   only platform/qt includes Qt; only platform/
#   (and the stand-alone helper programs in tools/, which may use the layers like the
#   program) call POSIX directly; nothing outside app/
#   includes app/; the runtime includes only itself, and the Ghostscript argument grammar
#   (compiled into the console program as well) only the standard library and the
#   header-only hex writer.
# Includes are followed through headers: what a header brings in counts for every file that
# includes it, so a header a lower layer may include cannot pull in a higher one, Qt, or a
# third-party library. libjpeg, libtiff, zlib and libqpdf are included only by the units that
# own them. The platform's libraries (platform/CMakeLists.txt) link only the libraries below
# them and are built only from their own folders. No name of the Qt back end (qtbridge) is
# used outside platform/qt: the layers above reach the window system through the declarations
# of the class library and the window manager.
# Run by ctest (the "LayerArrows" test) and usable by hand: scripts/check_layers.sh [root]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 2

# folder prefix | project folders it may include (regex on the include path); first match wins
rules=(
  "platform/rtl/gsArgs.|^platform/rtl/(gsArgs|hex)\.h$"
  "platform/rtl/|^platform/rtl/"
  "platform/win/|^platform/(rtl|win)/"
  "platform/gdi/|^platform/(rtl|win|gdi)/"
  "platform/user/|^platform/(rtl|win|gdi|user)/"
  "platform/vcl/|^platform/(rtl|win|gdi|user|vcl)/"
  "platform/qt/|^platform/(rtl|win|gdi|user|vcl|qt)/"
  "platform/automation/|^platform/(rtl|win|gdi|user|vcl|automation)/"
  "engine/|^(engine/|platform/(rtl|win|gdi|user|vcl|automation)/)"
  "controls/extended/|^(controls/extended/|platform/(rtl|win|gdi|user|vcl)/)"
  "controls/styled/|^(controls/styled/|platform/(rtl|win|gdi|user|vcl)/)"
  "app/|^(app/|engine/|controls/|platform/(rtl|win|gdi|user|vcl|automation)/)"
  "tools/|^(tools/|controls/|platform/(rtl|win|gdi|user|vcl|automation)/)"
)
# third-party library ; its headers (regex) ; the only sources that may reach them (regex)
third_party=(
  "libjpeg;^(jpeglib|jerror|jconfig|jmorecfg)\.h$;^engine/(pdfHelper|converters/pdf2htmlPreview)\.cpp$"
  "libtiff;^(tiffio|tiff|tiffconf|tiffvers)\.h$;^(platform/automation/tiffLibrary\.(h|cpp)|engine/converters/tiffPages\.cpp)$"
  "zlib;^(zlib|zconf)\.h$;^platform/win/(pngCodec|zipEntry)\.cpp$"
  "libqpdf;^qpdf/;^engine/(pdfPageTree|pdfDocumentFacts)\.cpp$"
  "giflib;^gif_lib\.h$;^$"
)
# Departures still being mended: "files (regex);a header they may reach through others".
known=()
# Sources outside platform/qt that may name the Qt back end: the blit benchmark links the GDI
# without the class library, so it installs the back end's drawing itself.
qtbridge_users=" bench/bench_blit.cpp "
qt_re='^(Q[A-Za-z]*(/[A-Za-z]+)?|Qt[A-Za-z]+/.*)$'
posix_re='^(unistd|fcntl|dirent|signal|spawn|dlfcn|poll|pwd|grp|termios|glob|fnmatch|sys/[a-z_]+)\.h$'

files=$(git ls-files '*.cpp' '*.h' 2>/dev/null) ||
  files=$(find . \( -name build -o -name 'build-*' -o -name .git \) -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)

bad=0
{
  printf '%s\n' "${rules[@]}" | sed 's/^/R|/'
  printf '%s\n' "${third_party[@]}" | sed 's/^/T|/'
  [ ${#known[@]} -gt 0 ] && printf '%s\n' "${known[@]}" | sed 's/^/K|/'
  printf 'F|%s\n' $files
  # file:line:text of every include
  printf '%s\n' $files | xargs grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' |
    sed 's/^/I|/'
  # includes written through a macro, and the macros that name a header (often none)
  { printf '%s\n' $files | xargs grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[^<"[:space:]]' ||
    true; } | sed 's/^/M|/'
  { printf '%s\n' $files |
    xargs grep -HnE '^[[:space:]]*#[[:space:]]*define[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]+[<"]' ||
    true; } | sed 's/^/D|/'
} | awk -v qt_re="$qt_re" -v posix_re="$posix_re" '
function dirname(p) { return p ~ /\// ? substr(p, 1, match(p, /\/[^\/]*$/) - 1) : "" }
# Folds "a/b/../c" into "a/c".
function normal(p,   n, parts, out, i, k) {
  n = split(p, parts, "/"); k = 0
  for (i = 1; i <= n; ++i) {
    if (parts[i] == "." || parts[i] == "") continue
    if (parts[i] == ".." && k > 0) { --k; continue }
    out[++k] = parts[i]
  }
  p = ""
  for (i = 1; i <= k; ++i) p = p (i > 1 ? "/" : "") out[i]
  return p
}
function ruleOf(f,   i) {
  for (i = 1; i <= nrules; ++i) if (index(f, rprefix[i]) == 1) return rre[i]
  return ""
}
function report(msg) { print msg; bad = 1 }
function known(top, h,   i) {
  for (i = 1; i <= nknown; ++i) if (top ~ kfile[i] && h == kheader[i]) return 1
  return 0
}
# Visits what `f` includes (depth first), with `via` the first header the path went through.
function visit(top, f, via, rule,   i, h, name, n, t) {
  if ((top SUBSEP f) in seen) return
  seen[top, f] = 1
  if (f != top) {
    if (!(f in reached)) reached[f] = via
    if (rule != "" && via != f && f !~ rule && !known(top, f))
      report(top ": includes \"" f "\" through \"" via "\" across the layer arrows")
  }
  n = nq[f]
  for (i = 1; i <= n; ++i) {
    h = q[f, i]
    if (h in exists) visit(top, h, f == top ? h : via, rule)
  }
  n = na[f]
  for (i = 1; i <= n; ++i) {
    name = a[f, i]
    if (top !~ /^platform\/qt\// && name ~ qt_re) {
      if (f == top) report(top ": includes Qt outside platform/qt (<" name ">)")
      else if (!known(top, f))
        report(top ": reaches Qt (<" name ">) through \"" via "\"")
    }
    if (f == top && top !~ /^(platform|tools)\// && name ~ posix_re)
      report(top ": calls POSIX directly outside platform/ (<" name ">)")
    for (t = 1; t <= ntp; ++t)
      if (name ~ tpre[t] && top !~ towner[t] && !((top, t) in tpdone)) {
        tpdone[top, t] = 1
        report(top ": includes " tpname[t] " (<" name ">)" (f == top ? "" : " through \"" via "\"") \
               " outside the units that own it")
      }
  }
}
{
  kind = substr($0, 1, 1); rest = substr($0, 3)
  if (kind == "R") { ++nrules; p = index(rest, "|"); rprefix[nrules] = substr(rest, 1, p - 1); rre[nrules] = substr(rest, p + 1); next }
  if (kind == "T") { ++ntp; split(rest, x, ";"); tpname[ntp] = x[1]; tpre[ntp] = x[2]; towner[ntp] = x[3]; next }
  if (kind == "K") { ++nknown; p = index(rest, ";"); kfile[nknown] = substr(rest, 1, p - 1); kheader[nknown] = substr(rest, p + 1); next }
  if (kind == "F") { exists[rest] = 1; order[++nfiles] = rest; next }
  # I|, M| and D|file:line:text
  p = index(rest, ":"); f = substr(rest, 1, p - 1); rest = substr(rest, p + 1)
  p = index(rest, ":"); line = substr(rest, 1, p - 1); text = substr(rest, p + 1)
  if (kind == "D") {
    # #define NAME "header" or <header>: what an include through NAME reaches
    sub(/^[[:space:]]*#[[:space:]]*define[[:space:]]+/, "", text)
    name = text; sub(/[[:space:]].*$/, "", name)
    value = substr(text, length(name) + 1); sub(/^[[:space:]]+/, "", value); sub(/[[:space:]]+$/, "", value)
    if (!match(value, /^("[^"]+"|<[^>]+>)/)) next
    value = substr(value, 1, RLENGTH)
    if ((name in defined) && defined[name] != value) defined[name] = "?"
    else defined[name] = value
    next
  }
  if (kind == "M") { ++nmacro; mfile[nmacro] = f; mline[nmacro] = line; mtext[nmacro] = text; next }
  addInclude(f, line, text)
}
function addInclude(f, line, text,   written, resolved) {
  if (match(text, /"[^"]+"/)) {
    written = substr(text, RSTART + 1, RLENGTH - 2)
    resolved = written ~ /\// && written !~ /^\.\.?\// ? normal(written) : normal(dirname(f) "/" written)
    q[f, ++nq[f]] = resolved
    qline[f, nq[f]] = line; qwritten[f, nq[f]] = written
  } else if (match(text, /<[^>]+>/)) {
    a[f, ++na[f]] = substr(text, RSTART + 1, RLENGTH - 2)
  }
}
END {
  # An include through a macro counts as the header the macro names; one that cannot be
  # told (no such macro, a macro named twice with other headers, anything but a bare name)
  # fails the check, since the arrows could not be seen.
  for (m = 1; m <= nmacro; ++m) {
    text = mtext[m]; sub(/^[[:space:]]*#[[:space:]]*include[[:space:]]*/, "", text)
    sub(/[[:space:]]*(\/\/.*)?$/, "", text)
    if (text ~ /^[A-Za-z_][A-Za-z0-9_]*$/ && (text in defined) && defined[text] != "?")
      addInclude(mfile[m], mline[m], defined[text])
    else
      report(mfile[m] ":" mline[m] ": includes through the macro " text \
             ", which the layer check cannot resolve")
  }
  for (k = 1; k <= nfiles; ++k) {
    f = order[k]
    rule = ruleOf(f)
    if (rule == "" && f !~ /^(platform|engine|controls|app|tools)\//) continue
    # Direct includes: the path as written (a file beside the includer, named without a
    # folder, stays inside its layer).
    for (i = 1; i <= nq[f]; ++i) {
      w = qwritten[f, i]; r = q[f, i]
      if (rule != "" && (w ~ /\// || w ~ /^\.\./) && r !~ rule)
        report(f ":" qline[f, i] ": includes \"" w "\" across the layer arrows")
    }
    delete reached
    visit(f, f, f, rule)
  }
  exit bad
}' || bad=1

# The platform libraries: each built from its own folders and linking only those below it.
order="vx_rtl vx_win vx_gdi vx_user vx_vcl vx_automation"
declare -A folders=([vx_rtl]="rtl" [vx_win]="win" [vx_gdi]="gdi" [vx_user]="user"
  [vx_vcl]="vcl qt" [vx_automation]="automation")
rank() { local i=0 n; for n in $order; do [ "$n" = "$1" ] && { echo $i; return; }; i=$((i + 1)); done; echo -1; }
if [ -f platform/CMakeLists.txt ]; then
  while IFS= read -r line; do
    lib=$(sed -E 's/^vx_layer\(([a-z_]+).*/\1/' <<<"$line")
    r=$(rank "$lib")
    if [ "$r" -lt 0 ]; then report_lib="platform/CMakeLists.txt: $lib is no platform library"; echo "$report_lib"; bad=1; continue; fi
    for dep in $(grep -oE '\bvx_[a-z_]+' <<<"${line#*LINK}"); do
      [ "$(rank "$dep")" -lt "$r" ] && [ "$(rank "$dep")" -ge 0 ] && continue
      [ "$dep" = vx_resources ] && continue
      echo "platform/CMakeLists.txt: $lib links $dep across the layer arrows"; bad=1
    done
    for dir in $(grep -oE 'platform/[a-z]+' <<<"$line"); do
      [[ " ${folders[$lib]} " == *" ${dir#platform/} "* ]] && continue
      echo "platform/CMakeLists.txt: $lib is built from $dir, which is not its folder"; bad=1
    done
  done < <(grep -E '^vx_layer\(' platform/CMakeLists.txt)
fi
# Names of the Qt back end outside it.
for f in $files; do
  [[ $f == platform/qt/* || $qtbridge_users == *" $f "* ]] && continue
  n=$(grep -nwm1 qtbridge "$f" | cut -d: -f1)
  [ -n "$n" ] && { echo "$f:$n: names the Qt back end (qtbridge) outside platform/qt"; bad=1; }
done
[ $bad -eq 0 ] && echo "layer arrows hold"
exit $bad
