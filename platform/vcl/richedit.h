// Read-only rich-text display: Lines.LoadFromFile reads an RTF file and shows it formatted.
#pragma once

#include "platform/vcl/controls.h"

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
    qtbridge::PeerKind PeerKindOf() const override { return qtbridge::PeerKind::RichEdit; }
    void PeerCreated() override;

private:
    TRichEditLines lines_;
    std::string html_, plain_;
};

void RegisterRichEdit();
