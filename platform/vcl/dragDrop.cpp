#include "platform/vcl/dragDrop.h"

#include <cstdlib>
#include <memory>

#include "platform/rtl/scopeExit.h"
#include "platform/user/capture.h"
#include "platform/user/dragImage.h"
#include "platform/user/metrics.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/windowSystem.h"

namespace {

constexpr WPARAM kVkEscape = 27, kVkControl = 17;

struct DragState {
    TControl* control = nullptr;  // the control being dragged
    TDragObject* object = nullptr;
    bool ownsObject = false;  // made here, freed at the end
    bool active = false;      // past the threshold (or started at once)
    TPoint start;
    TPoint threshold;
    TDragImageList* images = nullptr;
    HWND capture = nullptr;  // the hidden window holding the mouse
    HCURSOR savedCursor = nullptr;
    // Tells this drag from a later one: a handler may end the drag (freeing its control ends
    // it and frees its object), after which nothing of it may be touched.
    unsigned serial = 0;
};
DragState g_drag;
unsigned g_dragSerial = 0;

bool DragEnded(unsigned serial) { return g_drag.serial != serial; }

// Every way a drag ends comes here: the hidden window lets the mouse go and goes, the cursor
// is the one before the drag and the drag image hides. `imagesLive` says whether the drag's
// image list is still there to be told. Answers the state the drag had; the caller frees the
// object when it was made here.
DragState ReleaseDrag(bool imagesLive) {
    const DragState ending = g_drag;
    g_drag = DragState{};  // what the messages below reach finds no drag
    if (imagesLive && ending.images) ending.images->EndDrag();
    ImageList_EndDrag();
    if (ending.capture && GetCapture() == ending.capture) ReleaseCapture();
    if (ending.capture) {
        DestroyWindow(ending.capture);
        ::SetCursor(ending.savedCursor);
        ws::ShowTrackingCursor(nullptr);
    }
    return ending;
}

void DragDone(bool drop);
void DragTo(const TPoint& pos);

LRESULT DragMessage(HWND handle, TDragMessage msg, TDragObject* source, TControl* target,
                    const TPoint& pos) {
    if (!handle || !IsWindow(handle)) return 0;
    TDragRec rec;
    rec.Pos = pos;
    rec.Source = source;
    rec.Target = target;
    return SendMessageA(handle, CM_DRAG, WPARAM(msg), LPARAM(&rec));
}

bool DoDragOver(TDragMessage msg) {
    TDragObject* o = g_drag.object;
    if (!o || !o->DragTarget) return false;
    return DragMessage(o->DragHandle, msg, o, o->DragTarget, o->DragPos) != 0;
}

// The window of the program under a screen point: the deepest visible windowed control.
TWinControl* WindowAt(const TPoint& p) {
    const std::vector<HWND> tops = TopLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        TWinControl* w = FindControl(*it);
        if (!w || !w->Showing() || !w->HandleAllocated()) continue;
        const TPoint o = w->ClientOrigin();
        if (p.X < o.X || p.Y < o.Y || p.X >= o.X + w->ClientWidth() ||
            p.Y >= o.Y + w->ClientHeight())
            continue;
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (int i = w->ControlCount() - 1; i >= 0; --i) {
                auto* child = dynamic_cast<TWinControl*>(w->Controls(i));
                if (!child || !child->Showing() || !child->HandleAllocated()) continue;
                const TPoint c = child->ClientOrigin();
                if (p.X >= c.X && p.Y >= c.Y && p.X < c.X + child->Width() &&
                    p.Y < c.Y + child->Height()) {
                    w = child;
                    deeper = true;
                    break;
                }
            }
        }
        return w;
    }
    return nullptr;
}

void ShowCursor(TCursor cursor) {
    ::SetCursor(Screen->Cursors(cursor));
    ws::ShowTrackingCursor(Screen->Cursors(cursor));
}

// The hidden window that holds the mouse during a drag: moves drag, a release drops, losing
// the capture or Escape cancels, Ctrl asks the target again.
LRESULT CaptureProc(HWND, UINT msg, WPARAM w, LPARAM l) {
    try {
        switch (msg) {
            case WM_MOUSEMOVE:
                DragTo(TPoint{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
                return 0;
            case WM_CAPTURECHANGED:
                DragDone(false);
                return 0;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
                DragDone(true);
                return 0;
            case CN_KEYDOWN:
                if (w == kVkEscape) {
                    DragDone(false);
                    return 1;
                }
                if (w == kVkControl && g_drag.object) DragTo(g_drag.object->DragPos);
                return 0;
            default:
                return 0;
        }
    } catch (...) {
        // The drag ends with the error; an error while it ends is reported as well.
        try {
            DragDone(false);
        } catch (...) {
            HandleEventException();
        }
        HandleEventException();
    }
    return 0;
}

void DragTo(const TPoint& pos) {
    TDragObject* o = g_drag.object;
    if (!o) return;
    const unsigned serial = g_drag.serial;
    if (!g_drag.active && std::abs(pos.X - g_drag.start.X) < g_drag.threshold.X &&
        std::abs(pos.Y - g_drag.start.Y) < g_drag.threshold.Y)
        return;
    TControl* target = FindDragTarget(pos, false);
    if (!g_drag.active && g_drag.images) g_drag.images->BeginDrag(g_drag.start.X, g_drag.start.Y);
    g_drag.active = true;
    if (target != o->DragTarget) {
        DoDragOver(dmDragLeave);
        if (DragEnded(serial)) return;
        // The handler of the control left may have freed the one entered, or its window:
        // the mouse's control is looked up again.
        target = FindDragTarget(pos, false);
        TWinControl* window = dynamic_cast<TWinControl*>(target);
        if (target && !window) window = target->Parent();
        o->DragTarget = target;
        o->DragHandle = window ? window->Handle() : nullptr;
        o->DragPos = pos;
        DoDragOver(dmDragEnter);
        if (DragEnded(serial)) return;
    }
    o->DragPos = pos;
    if (o->DragTarget) {
        const TPoint c = o->DragTarget->ClientOrigin();
        o->DragTargetPos = TPoint{pos.X - c.X, pos.Y - c.Y};
    }
    const bool accepted = DoDragOver(dmDragMove);
    if (DragEnded(serial)) return;
    const TCursor cursor = o->GetDragCursor(accepted, pos.X, pos.Y);
    if (TDragImageList* images = g_drag.images) {
        // A target freed by its own handler is no target any more.
        const TControl* over = o->DragTarget;
        if (!over || over->DisplaysDragImage() || o->AlwaysShowDragImages) {
            images->DragCursor = cursor;
            if (!images->Dragging())
                images->BeginDrag(pos.X, pos.Y);
            else
                images->DragMove(pos.X, pos.Y);
        } else {
            images->EndDrag();
        }
    }
    ShowCursor(cursor);
}

void DragDone(bool drop) {
    TDragObject* o = g_drag.object;
    if (!o || o->Cancelling) return;
    o->Cancelling = true;
    o->Dropped = drop;
    const unsigned serial = g_drag.serial;
    // A handler that raises still lets the mouse go; one that frees the dragged control has
    // ended the drag and freed its object already.
    ScopeExit raised([o, serial] {
        if (DragEnded(serial)) return;
        if (ReleaseDrag(true).ownsObject) delete o;
    });
    if (GetCapture() == g_drag.capture) ReleaseCapture();
    TPoint targetPos = o->DragTarget ? o->DragTargetPos : o->DragPos;
    const bool accepted = g_drag.active && DoDragOver(dmDragLeave) && drop;
    if (DragEnded(serial)) return;
    if (g_drag.images) g_drag.images->EndDrag();
    if (o->DragTarget) {
        TDragMessage msg = dmDragDrop;
        if (!accepted) {
            targetPos = TPoint{0, 0};
            o->DragPos = TPoint{0, 0};
            msg = dmDragCancel;
        }
        DragMessage(o->DragHandle, msg, o, o->DragTarget, o->DragPos);
        if (DragEnded(serial)) return;
    }
    if (!accepted) o->DragTarget = nullptr;
    TControl* target = o->DragTarget;
    raised.Release();
    // Freed however OnEndDrag ends.
    const std::unique_ptr<TDragObject> owned(ReleaseDrag(true).ownsObject ? o : nullptr);
    o->EndDrag(target, targetPos.X, targetPos.Y);
}

void DragInit(TDragObject* o, bool immediate, int threshold) {
    g_drag.object = o;
    o->DragTarget = nullptr;
    POINT p{};
    GetCursorPos(&p);
    g_drag.start = TPoint{p.x, p.y};
    o->DragPos = g_drag.start;
    g_drag.savedCursor = GetCursor();  // put back once the capture window is there
    g_drag.threshold = threshold < 0
                           ? TPoint{GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG)}
                           : TPoint{threshold, threshold};
    g_drag.capture = CreateWindowObject("TDragCapture", nullptr, &CaptureProc, nullptr);
    SetCapture(g_drag.capture);
    g_drag.active = immediate;
    g_drag.images = o->GetDragImages();
    if (g_drag.active) DragTo(g_drag.start);
}

}  // namespace

// ---------------------------------------------------------------- the control's side

void ForgetDragControl(TControl* c) {
    TDragObject* o = g_drag.object;
    if (o && o->DragTarget == c) {
        o->DragTarget = nullptr;
        o->DragHandle = nullptr;
    }
    if (g_drag.control != c) return;
    // The dragged control goes: the drag ends without telling it (its images went with it).
    if (o) o->Cancelling = true;
    if (ReleaseDrag(false).ownsObject) delete o;
}

TDragObject* DragObjectNow() { return g_drag.object; }
bool DragActiveNow() { return g_drag.active; }

TControl* FindDragTarget(const TPoint& screenPos, bool allowDisabled) {
    TWinControl* w = WindowAt(screenPos);
    if (!w) return nullptr;
    auto* found = reinterpret_cast<TControl*>(
        DragMessage(w->Handle(), dmFindTarget, nullptr, nullptr, screenPos));
    if (found && !allowDisabled && !found->Enabled()) return nullptr;
    return found;
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (g_drag.control) return;
    if (dynamic_cast<TForm*>(this)) throw EInvalidOperation("不能拖动窗体");
    if (leftButtonDown_) {
        // The press that starts the drag ends here for the control itself.
        leftButtonDown_ = false;
        POINT p{};
        GetCursorPos(&p);
        const TPoint o = ClientOrigin();
        Perform(WM_LBUTTONUP, 0, MAKELPARAM_XY(p.x - o.X, p.y - o.Y));
    }
    g_drag.control = this;
    g_drag.serial = ++g_dragSerial;
    const unsigned serial = g_drag.serial;
    try {
        TDragObject* object = nullptr;
        DoStartDrag(object);
        if (DragEnded(serial)) return;  // ended while it started
        bool owns = false;
        if (!object) {
            object = new TDragControlObject(this);
            owns = true;
        }
        g_drag.ownsObject = owns;
        DragInit(object, Immediate, Threshold);
    } catch (...) {
        // The capture window, the cursor and the object made here go with the error.
        if (!DragEnded(serial)) {
            const DragState ending = ReleaseDrag(true);
            if (ending.ownsObject) delete ending.object;
        }
        throw;
    }
}

void TControl::EndDrag(bool Drop) {
    if (Dragging()) DragDone(Drop);
}

bool TControl::Dragging() const { return g_drag.control == this; }

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragMessageReceived(TMessage& m) {
    auto* rec = reinterpret_cast<TDragRec*>(m.LParam);
    if (!rec) return;
    switch (m.WParam) {
        case dmDragEnter:
        case dmDragLeave:
        case dmDragMove:
        case dmDragDrop:
            if (rec->Target) rec->Target->DoDragMessage(m);
            return;
        case dmFindTarget: {
            TControl* found = this;
            if (auto* w = dynamic_cast<TWinControl*>(this)) {
                const TPoint o = ClientOrigin();
                if (TControl* child = w->ControlAtPos(rec->Pos.X - o.X, rec->Pos.Y - o.Y))
                    found = child;
            }
            m.Result = LRESULT(found);
            return;
        }
        default:
            return;
    }
}

void TControl::DoDragMessage(TMessage& m) {
    auto* rec = reinterpret_cast<TDragRec*>(m.LParam);
    TObject* source = rec->Source;
    // The drag object the library made stands for its control.
    if (auto* own = dynamic_cast<TDragControlObject*>(rec->Source);
        own && rec->Source == g_drag.object && g_drag.ownsObject)
        source = own->Control;
    const TPoint o = ClientOrigin();
    const int x = rec->Pos.X - o.X, y = rec->Pos.Y - o.Y;
    if (m.WParam == dmDragDrop) {
        DragDrop(source, x, y);
        return;
    }
    bool accept = true;
    DragOver(source, x, y, TDragState(m.WParam), accept);
    m.Result = accept ? 1 : 0;
}

bool TControl::KeyDuringDrag(WORD key) {
    if (!g_drag.capture || GetCapture() != g_drag.capture) return false;
    return SendMessageA(g_drag.capture, CN_KEYDOWN, key, 0) != 0;
}

TDragImageList* TDragControlObject::GetDragImages() { return Control->GetDragImages(); }

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
    return accepted ? Control->DragCursor : crNoDrop;
}

void TDragControlObject::EndDrag(TObject* target, int x, int y) {
    Control->DoEndDrag(target, x, y);
}

// ---------------------------------------------------------------- drag image list

TDragImageList::~TDragImageList() {
    if (dragging_) EndDrag();
}

void TDragImageList::SetDragImage(int index, int hotX, int hotY) {
    dragIndex_ = index;
    hotspot_ = TPoint{hotX, hotY};
}

bool TDragImageList::BeginDrag(int x, int y) {
    if (dragging_) EndDrag();
    if (!ImageList_BeginDrag(Handle(), dragIndex_, hotspot_.X, hotspot_.Y)) return false;
    dragging_ = ImageList_DragEnter(nullptr, x, y) != 0;
    return dragging_;
}

bool TDragImageList::DragMove(int x, int y) { return dragging_ && ImageList_DragMove(x, y); }

void TDragImageList::HideDragImage() {
    if (dragging_) ImageList_DragShowNolock(FALSE_);
}

void TDragImageList::ShowDragImage() {
    if (dragging_) ImageList_DragShowNolock(TRUE_);
}

bool TDragImageList::EndDrag() {
    if (!dragging_) return false;
    dragging_ = false;
    ImageList_DragLeave(nullptr);
    ImageList_EndDrag();
    return true;
}
