#include "engine/host.h"

namespace {
TMainState* g_state = nullptr;
TShowMsgFunc g_showMsg = nullptr;
}  // namespace

TMainState* MainState() { return g_state; }
void SetMainState(TMainState* state) { g_state = state; }
void SetShowMsgHandler(TShowMsgFunc f) { g_showMsg = f; }

int ShowMsg(const std::string& text, TMsgKind kind, bool autoClose) {
    return g_showMsg ? g_showMsg(text, kind, autoClose) : 2;
}
