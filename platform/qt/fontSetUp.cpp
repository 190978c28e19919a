#include "platform/qt/fontSetUp.h"

#include <fontconfig/fontconfig.h>

#include "platform/rtl/workAhead.h"

namespace qtbridge {
namespace {
// Never destroyed: a program that ends before the set-up does must not take it away from
// under the thread (it ends with the process; fontconfig keeps no state needing an end).
WorkAhead& FontSetUp() {
    static auto* s = new WorkAhead([] {
        // What Qt's font database calls first; made once, it is what every later call uses.
        FcInit();
    });
    return *s;
}
}  // namespace

void RequestFontSetUpAhead() { FontSetUp().request(); }
void StartFontSetUp() { FontSetUp().start(); }
void WaitForFontSetUp() { FontSetUp().wait(); }

}  // namespace qtbridge
