// Read-only rich-text display: Lines.LoadFromFile reads an RTF file and shows it formatted.
#pragma once

#include "platform/vcl/controls.h"
#include "platform/vcl/peerKinds.h"

class TRichEdit;

class TRichEditLines {
public:
    explicit TRichEditLines(TRichEdit* owner) : owner_(owner) {}
    // Reads the file as rich text; raises EFOpenError when it cannot be read.
    void LoadFromFile(const std::string& name);
    std::string Text() const;  // the plain text shown

private:
    TRichEdit* owner_;
};

class TRichEdit : public TWinControl {
public:
    explicit TRichEdit(TComponent* owner);
    std::string ClassName() const override { return "TRichEdit"; }
    TRichEditLines* Lines() { return &lines_; }
    void SetRtf(const std::string& rtf);
    const std::string& PlainText() const { return plain_; }
    bool ReadOnly = true;

protected:
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override {
        return ws::NewRichEditPeer(parent, this);
    }
    ws::RichEditPeer* peer() const { return PeerAs<ws::RichEditPeer>(); }
    void PeerCreated() override;

private:
    TRichEditLines lines_;
    std::string html_, plain_;
};

void RegisterRichEdit();
