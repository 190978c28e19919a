// Drag and drop of the class library: a drag object that follows the mouse while a hidden
// window of its own holds the capture, CM_DRAG messages to the control under the mouse, the
// cursor telling whether that control accepts, and a drag image list drawn at the mouse.
#pragma once

#include "platform/vcl/controls.h"
#include "platform/vcl/imgList.h"

// CM_DRAG's wParam.
enum TDragMessage : WPARAM {
    dmDragEnter,
    dmDragLeave,
    dmDragMove,
    dmDragDrop,
    dmDragCancel,
    dmFindTarget
};

class TDragImageList;

// What is dragged. The control that started the drag makes one in OnStartDrag or gets a
// TDragControlObject; it is asked for the cursor and the images, and told of the end.
class TDragObject : public TObject {
public:
    std::string ClassName() const override { return "TDragObject"; }
    virtual TDragImageList* GetDragImages() { return nullptr; }
    virtual TCursor GetDragCursor(bool accepted, int /*x*/, int /*y*/) {
        return accepted ? crDrag : crNoDrop;
    }
    // The drag ended over target (null when not dropped or not accepted), at its client point.
    virtual void EndDrag(TObject* /*target*/, int /*x*/, int /*y*/) {}
    TPoint DragPos;        // the mouse on the screen
    TPoint DragTargetPos;  // the mouse in the target's client area
    TControl* DragTarget = nullptr;
    HWND DragHandle = nullptr;  // the window CM_DRAG goes to (the target's or its parent's)
    bool Dropped = false;
    bool Cancelling = false;
    bool AlwaysShowDragImages = false;
};

// The drag of a control: its DragCursor, its drag images, its OnEndDrag.
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* control) : Control(control) {}
    std::string ClassName() const override { return "TDragControlObject"; }
    TDragImageList* GetDragImages() override;
    TCursor GetDragCursor(bool accepted, int x, int y) override;
    void EndDrag(TObject* target, int x, int y) override;
    TControl* Control;
};

// CM_DRAG's lParam.
struct TDragRec {
    TPoint Pos;  // on the screen
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
    bool Docking = false;
};

// An image list whose image follows the mouse over every window while a drag goes on
// (drawn with its top-left corner at the mouse less the hot spot).
class TDragImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    ~TDragImageList() override;
    std::string ClassName() const override { return "TDragImageList"; }
    void SetDragImage(int index, int hotX, int hotY);
    int DragIndex() const { return dragIndex_; }
    TPoint DragHotspot() const { return hotspot_; }
    // The image shows at the screen point, moves, hides and shows again, and ends.
    bool BeginDrag(int x, int y);
    bool DragMove(int x, int y);
    void HideDragImage();
    void ShowDragImage();
    bool EndDrag();
    bool Dragging() const { return dragging_; }
    TCursor DragCursor = crDefault;

private:
    int dragIndex_ = 0;
    TPoint hotspot_;
    bool dragging_ = false;
};

// The drag going on: its object (null when none) and whether it has passed its threshold.
TDragObject* DragObjectNow();
bool DragActiveNow();
// A control being destroyed is no drag's control or target any more (the drag it made ends).
void ForgetDragControl(TControl* c);
// The control under a screen point (the deepest visible one of the program's windows), null
// when none.
TControl* FindDragTarget(const TPoint& screenPos, bool allowDisabled);
