#include "engine/host.h"

#include "engine/util.h"
#include "platform/rtl/passedErrors.h"

namespace {
TMainState* g_state = nullptr;
TShowMsgFunc g_showMsg = nullptr;

void LogPassed(const std::string& text) { Log("ErrorMessage", text); }
}  // namespace

TMainState* MainState() { return g_state; }
// Errors the layers below let pass go to the day log while there is a main window to own it.
void SetMainState(TMainState* state) {
    g_state = state;
    SetPassedErrorWriter(state ? &LogPassed : nullptr);
}
void SetShowMsgHandler(TShowMsgFunc f) { g_showMsg = f; }

int ShowMsg(const std::string& text, TMsgKind kind, bool autoClose) {
    return g_showMsg ? g_showMsg(text, kind, autoClose) : 2;
}
