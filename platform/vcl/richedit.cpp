#include "platform/vcl/richedit.h"

#include <cerrno>

#include "platform/rtl/rtf.h"

void TRichEditLines::LoadFromFile(const std::string& name) {
    if (!FileExists(name)) RaiseFileOpenError(name, ENOENT);
    owner_->SetRtf(ReadFileText(name));
}

std::string TRichEditLines::Text() const { return owner_->PlainText(); }

TRichEdit::TRichEdit(TComponent* owner) : TWinControl(owner), lines_(this) {
    width_ = 185;
    height_ = 89;
    color_ = clWindow;
}

void TRichEdit::SetRtf(const std::string& rtf) {
    html_ = RtfToHtml(rtf);
    plain_ = RtfToText(rtf);
    if (peer_) peer()->setRichText(html_);
}

void TRichEdit::PeerCreated() {
    if (!html_.empty()) peer()->setRichText(html_);
}

void RegisterRichEdit() {
    TClassReg<TRichEdit>("TRichEdit", "TWinControl")
        .prop("ReadOnly", [](TRichEdit* r, const TDfmValue& v) { r->ReadOnly = v.AsBool(); })
        .prop("ScrollBars", [](TRichEdit*, const TDfmValue&) {})
        .prop("BorderStyle", [](TRichEdit*, const TDfmValue&) {});
}
