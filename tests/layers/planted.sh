#!/usr/bin/env bash
# The layer check must catch each kind of crossing: plants one into a copy of the sources and
# expects scripts/check_layers.sh to fail naming it (the row "clean" expects the copy to pass).
#   tests/layers/planted.sh <source root> <row>
set -euo pipefail
src=$1
row=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for d in platform engine controls app tools; do cp -r "$src/$d" "$tmp/$d"; done

plant() {  # file, then its lines
  local f=$tmp/$1
  shift
  mkdir -p "$(dirname "$f")"
  printf '%s\n' "$@" >"$f"
}

expect="layer arrows hold"
case $row in
  clean) ;;
  gdiIncludesUser)  # an arrow running up inside the platform
    plant platform/gdi/plantedUp.cpp '#include "platform/user/window.h"'
    expect='platform/gdi/plantedUp.cpp:1: includes "platform/user/window.h" across' ;;
  winIncludesGdi)
    plant platform/win/plantedUp.h '#pragma once' '#include "platform/gdi/gdi.h"'
    expect='platform/win/plantedUp.h:2: includes "platform/gdi/gdi.h" across' ;;
  userIncludesQtBackEnd)
    plant platform/user/plantedUp.cpp '#include "platform/qt/qtapp.h"'
    expect='platform/user/plantedUp.cpp:1: includes "platform/qt/qtapp.h" across' ;;
  qtOutsideBackEnd)
    plant platform/vcl/plantedQt.cpp '#include <QWidget>'
    expect='platform/vcl/plantedQt.cpp: includes Qt outside platform/qt' ;;
  qtThroughHeader)  # a back-end header the class library may include, which includes Qt
    plant platform/qt/plantedWidgets.h '#pragma once' '#include <QImage>'
    plant platform/vcl/plantedQt.cpp '#include "platform/qt/plantedWidgets.h"'
    expect='platform/vcl/plantedQt.cpp: reaches Qt (<QImage>) through "platform/qt/plantedWidgets.h"' ;;
  higherLayerThroughHeader)  # each include allowed, the chain is not
    plant platform/qt/plantedBridge.h '#pragma once' '#include "platform/automation/servers.h"'
    plant platform/vcl/plantedBridge.h '#pragma once' '#include "platform/qt/plantedBridge.h"'
    plant controls/extended/plantedUser.cpp '#include "platform/vcl/plantedBridge.h"'
    expect='controls/extended/plantedUser.cpp: includes "platform/automation/servers.h" through "platform/vcl/plantedBridge.h" across' ;;
  backEndNameAbovePlatform)  # a name of the Qt back end, with no include at all
    plant controls/styled/plantedName.cpp 'void Tab() { qtbridge::PressKey(9, 0); }'
    expect='controls/styled/plantedName.cpp:1: names the Qt back end (qtbridge) outside platform/qt' ;;
  posixOutsidePlatform)
    plant engine/plantedPosix.cpp '#include <unistd.h>'
    expect='engine/plantedPosix.cpp: calls POSIX directly outside platform/' ;;
  libjpegOutsideItsUnits)
    plant app/plantedJpeg.cpp '#include <jpeglib.h>'
    expect='app/plantedJpeg.cpp: includes libjpeg (<jpeglib.h>) outside' ;;
  libtiffThroughItsHeader)  # the TIFF unit's header brings libtiff along
    plant app/plantedTiff.cpp '#include "platform/automation/tiffLibrary.h"'
    expect='app/plantedTiff.cpp: includes libtiff (<tiffio.h>) through "platform/automation/tiffLibrary.h" outside' ;;
  zlibOutsideItsUnit)
    plant platform/gdi/plantedZlib.cpp '#include <zlib.h>'
    expect='platform/gdi/plantedZlib.cpp: includes zlib (<zlib.h>) outside' ;;
  libqpdfOutsideItsUnit)  # the PDF helper counts pages through the page-tree unit only
    plant engine/plantedQpdf.cpp '#include <qpdf/QPDF.hh>'
    expect='engine/plantedQpdf.cpp: includes libqpdf (<qpdf/QPDF.hh>) outside' ;;
  macroIncludeAcross)  # an include written through a macro names a header up the arrows
    plant platform/gdi/plantedMacro.cpp '#define PLANTED_HEADER "platform/user/window.h"' \
      '#include PLANTED_HEADER'
    expect='platform/gdi/plantedMacro.cpp:2: includes "platform/user/window.h" across' ;;
  macroIncludeOfQt)  # ... or Qt through a macro defined in another header
    plant platform/vcl/plantedNames.h '#pragma once' '#define PLANTED_WIDGETS <QWidget>'
    plant platform/vcl/plantedMacro.cpp '#include "platform/vcl/plantedNames.h"' \
      '#  include PLANTED_WIDGETS'
    expect='platform/vcl/plantedMacro.cpp: includes Qt outside platform/qt (<QWidget>)' ;;
  macroIncludeUnresolved)  # a macro the check cannot tell fails it
    plant engine/plantedMacro.cpp '#include VX_HEADER_FROM_THE_BUILD'
    expect='engine/plantedMacro.cpp:1: includes through the macro VX_HEADER_FROM_THE_BUILD, which the layer check cannot resolve' ;;
  libraryLinksUp)  # the build lets a lower library reach a higher one
    sed -i -E 's/^(vx_layer\(vx_gdi .*LINK) vx_win/\1 vx_user vx_win/' "$tmp/platform/CMakeLists.txt"
    expect='platform/CMakeLists.txt: vx_gdi links vx_user across the layer arrows' ;;
  libraryBuiltFromAnotherFolder)
    sed -i -E 's|^(vx_layer\(vx_user DIRS platform/user)|\1 FILES platform/qt/windowDriver.cpp|' \
      "$tmp/platform/CMakeLists.txt"
    expect='platform/CMakeLists.txt: vx_user is built from platform/qt, which is not its folder' ;;
  *)
    echo "no row $row"
    exit 2
    ;;
esac

status=0
out=$(bash "$src/scripts/check_layers.sh" "$tmp") || status=$?
if [ "$row" = clean ]; then
  [ $status -eq 0 ] && [[ $out == *"$expect"* ]] && exit 0
  echo "the unchanged copy fails the layer check:"
else
  [ $status -ne 0 ] && [[ $out == *"$expect"* ]] && exit 0
  echo "the layer check did not report: $expect"
fi
echo "(exit $status)"
echo "$out"
exit 1
