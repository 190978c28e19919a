// The up-down counter of the option panel: two arrow buttons that step an integer
// position within a range. A position outside the range is refused, never clamped.
// The control keeps range, step and position itself, so they can be read and set at any
// time; it answers the common controls' 32-bit position messages (UDM_GETPOS32,
// UDM_SETPOS32) so that code which asks by message gets the same answer.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/vcl/stdctrls.h"

enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
enum TXcAlignButton { abLeft, abRight, abNone };
enum TXcUpDownFormat { ufInt, ufHex };

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Messages of the common controls' up-down window that the control answers.
constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
constexpr UINT UDM_SETPOS32 = WM_USER + 113;
constexpr UINT UDM_GETPOS32 = WM_USER + 114;

class TXcUpDown : public TCustomControl {
public:
    explicit TXcUpDown(TComponent* owner);
    ~TXcUpDown() override;
    std::string ClassName() const override { return "TXcUpDown"; }

    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }  // 0: no upper bound
    void SetMin(int32_t v);
    void SetMax(int32_t v);
    int32_t Increment() const { return increment_; }
    void SetIncrement(int32_t v);
    int32_t Position() const { return position_; }
    // Stores the value when the range accepts it; a refused value leaves the position as
    // it was. Either way the associated edit (if any) shows the position afterwards.
    void SetPosition(int32_t v);
    // False below Min, or above Max when Max is not 0.
    bool AcceptPosition(int32_t v) const;

    // The control that shows the position. Only an edit is written when code sets the
    // position; other controls (static texts) are written by the arrow clicks alone, and by
    // the code that sets the position.
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* c);

    TUDOrientation Orientation = udVertical;
    TXcAlignButton AlignButton = abRight;
    TXcUpDownFormat Format() const { return format_; }
    void SetFormat(TXcUpDownFormat f);
    bool HotTrack = false;
    bool Thousands = true;
    bool Wrap = false;
    bool ArrowKeys = true;

    TUDChangingEvent OnChanging;
    TUDClickEvent OnClickButton;  // the arrow that was clicked

    void Paint() override;
    void Dispatch(TMessage& m) override;
    void WndProc(TMessage& m) override;
    void Loaded() override;

    // One arrow click, as the mouse gives it: steps the position by Increment within the
    // range (stopping at its ends), when OnChanging allows it.
    void ClickButton(TUDBtnType button);

    // Name of the associated control as read from a form file; resolved when loaded.
    std::string AssociateName;

protected:
    virtual void UpdateAssociateText();

private:
    TRect ButtonRect(TUDBtnType b) const;
    void ShowInBuddy();
    int32_t min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
    TXcUpDownFormat format_ = ufInt;
    TWinControl* associate_ = nullptr;
    int pressed_ = -1;  // the arrow held down: btNext, btPrev, or -1
    int hot_ = -1;      // the arrow under the mouse (hot-tracking)
};

void RegisterXcUpDown();
