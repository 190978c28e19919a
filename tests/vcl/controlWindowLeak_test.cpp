// Control windows made and destroyed leave nothing behind: under the leak checker, whatever
// of ours a destroyed window kept would show here (only what belongs to the toolkit itself
// for the life of the process is suppressed, see tests/lsan.supp).
#include <gtest/gtest.h>

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define VX_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/lsan_interface.h>
#define VX_LEAK_CHECK 1
#endif
#endif

TEST(ControlWindows, MadeAndDestroyedLeaveNothingBehind) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    form.Show();
    Application->ProcessMessages();
    for (int round = 0; round < 2; ++round) {
        std::vector<TEdit*> edits;
        for (int i = 0; i < 100; ++i) {
            auto* edit = new TEdit(&form);
            edit->SetParent(&form);
            edit->SetBounds(4, 4 + i % 10 * 24, 120, 22);
            edit->HandleNeeded();
            edits.push_back(edit);
        }
        Application->ProcessMessages();
        for (TEdit* edit : edits) delete edit;
        Application->ProcessMessages();
    }
    EXPECT_EQ(form.ControlCount(), 0);
#ifdef VX_LEAK_CHECK
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "destroyed control windows leaked";
#endif
}
