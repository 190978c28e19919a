// The up-down counter of the option panel, over the common controls' up-down window. It
// keeps its own range, step and position, so they can be read and set before and without a
// window, and pushes them into each window it gets. A position outside the range is
// refused, never clamped. The 32-bit position messages are used where the common controls
// support them (5.81 and later).
#pragma once

#include <cstdint>
#include <functional>

#include "controls/extended/xcExControls.h"

enum TXcAlignButton { abLeft, abRight, abNone };
enum TXcUpDownFormat { ufInt, ufHex };

class TXcCustomUpDown : public TXcExCustomUpDown {
public:
    explicit TXcCustomUpDown(TComponent* owner);
    std::string ClassName() const override { return "TXcCustomUpDown"; }

    int32_t Increment() const { return increment_; }
    void SetIncrement(int32_t v);
    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }  // 0: no upper bound
    void SetMin(int32_t v);
    void SetMax(int32_t v);
    // Read from the window when there is one.
    int32_t Position();
    // Stores the value when the range accepts it; a refused value leaves the position as
    // it was. Either way UpdateAssociateText runs afterwards.
    void SetPosition(int32_t v);
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* c);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool v);
    TXcAlignButton AlignButton() const { return alignButton_; }
    void SetAlignButton(TXcAlignButton a);
    TXcUpDownFormat Format() const { return format_; }
    void SetFormat(TXcUpDownFormat f);

    // False below Min, or above Max when Max is not 0.
    virtual bool AcceptPosition(int32_t v) const;

    // Name of the associated control as read from a form file; resolved when loaded.
    std::string AssociateName;
    void Loaded() override;

    // The version of the common controls as major << 16 | minor, or -1 when its size
    // cannot be read. Tests replace it.
    static std::function<int64_t()> CommonControlsVersion;
    // Whether the 32-bit position messages are used (tested once per control).
    bool Use32();

protected:
    void Notification(TComponent* c, TOperation op) override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;
    void Dispatch(TMessage& m) override;
    bool CanChange() override;
    TWinControl* BuddyControl() const override { return associate_; }
    virtual void UpdateAssociateText() {}

    int32_t increment_ = 1, min_ = 0, max_ = 100, position_ = 0;
    TWinControl* associate_ = nullptr;
    bool hotTrack_ = false;
    TXcAlignButton alignButton_ = abRight;
    TXcUpDownFormat format_ = ufInt;
    bool use32_ = false;
    bool versionPending_ = true;

private:
    // Without a window the control answers the window's messages from its own fields.
    bool AnswerWithoutWindow(TMessage& m);
    void SendAccel();
    void AttachBuddyKeepingSize();
};

class TXcUpDown : public TXcCustomUpDown {
public:
    explicit TXcUpDown(TComponent* owner) : TXcCustomUpDown(owner) {}
    std::string ClassName() const override { return "TXcUpDown"; }

protected:
    // An edit buddy shows the position (decimal, or "0x" and at least four hex digits);
    // other buddies are written by the window while the user clicks, and by the code that
    // sets the position.
    void UpdateAssociateText() override;
};

void RegisterXcUpDown();
