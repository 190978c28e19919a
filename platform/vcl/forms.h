// Forms, the application object with its message loop, the screen, and Halt.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "platform/vcl/controls.h"
#include "platform/vcl/icon.h"
#include "platform/win/icons.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = unsigned;  // bit (1 << TBorderIcon) per member
constexpr TBorderIcons BorderIconBit(TBorderIcon i) { return 1u << unsigned(i); }
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};

// WM_NCPAINT of a form carries this in LParam: a canvas on the whole window.
struct TNcPaint {
    TCanvas* canvas;
    int width;
    int height;
};

using TCloseEvent = std::function<void(TObject*, TCloseAction&)>;
using TCloseQueryEvent = std::function<void(TObject*, bool&)>;
using TExceptionEvent = std::function<void(TObject*, Exception&)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    std::string ClassName() const override { return "TForm"; }

    // Reads the form's layout from its text form file (resources/forms/...), binding
    // components, published fields and handlers by name, then runs OnCreate.
    void InitForm(const std::string& resourceName);

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s);
    // Only a sizing frame lets the user change the window's size.
    bool Sizeable() const;
    TBorderIcons BorderIcons =
        BorderIconBit(biSystemMenu) | BorderIconBit(biMinimize) | BorderIconBit(biMaximize);
    // The form's own icon (empty: the application's); a change is told with WM_SETICON.
    TIcon* Icon() { return &icon_; }
    // The frame shows the form as the active window (the last WM_NCACTIVATE's word).
    bool FrameActive() const { return frameActive_; }
    TPosition Position = poDesigned;
    // Read when the form's window is made. An MDI form (fsMDIForm) gets a client window that
    // fills its client area; an MDI child (fsMDIChild) is a child window of the client window
    // of the application's main form, which must then be an MDI form.
    TFormStyle FormStyle = fsNormal;
    // The MDI client window of an MDI form whose window exists (null otherwise).
    HWND ClientHandle() const { return clientHandle_; }
    // An MDI form's active MDI child, and its MDI children (the active one first, then in the
    // order they were last active); none for other forms.
    TForm* ActiveMDIChild() const;
    int MDIChildCount() const;
    TForm* MDIChildren(int i) const;
    // The MDI form whose client window holds this MDI child's window (null otherwise).
    TForm* MDIParent() const;
    bool KeyPreview = false;
    int ModalResult = mrNone;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int w);
    void SetClientHeight(int h);

    void Show();
    void Hide() { SetVisible(false); }
    int ShowModal();
    void Close();
    // Lets the actions of the form and its controls update themselves (the idle update).
    void UpdateActions();
    bool IsModal() const { return modal_; }
    void SetVisible(bool v) override;
    TWinControl* ActiveControl = nullptr;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // The window style the form's window has: what its border style and border icons say
    // (bsNone a popup without frame, bsSingle a caption with a fixed frame, bsSizeable a
    // sizing frame, bsDialog a dialog frame, the tool windows a small caption). A form
    // adds its own bits (WS_BORDER gives a borderless form a 1-pixel border).
    virtual void CreateParams(TCreateParams& params);
    // Caption bar and frame sizes of the non-client area, as Windows sizes them for the
    // style (0 for a borderless form).
    int FrameWidth() const;
    int CaptionHeight() const;
    // The part of the window at a window point (the HT codes of WM_NCHITTEST).
    int HitTestFrame(int x, int y) const;
    TPoint ClientOrigin() const override;

protected:
    std::unique_ptr<ws::Peer> CreatePeer(ws::Peer* parent) override;
    HWND ParentWindowHandle() const override;
    void CreateWnd() override;
    void DestroyWnd() override;
    ws::WindowPeer* peer() const { return PeerAs<ws::WindowPeer>(); }
    void UpdatePeerGeometry() override;
    void PeerCreated() override;
    void Dispatch(TMessage& m) override;
    void peerPaintFrame(gdi::Painter& p, int w, int h) override;
    bool peerCloseRequest() override;
    void peerActivate(bool active) override;
    int peerFrameMouse(int x, int y) override;

public:
    // Paints the default frame and caption of a bordered form.
    virtual void PaintNonClient(TCanvas& c, int w, int h);
    void RedrawFrame() {
        if (peer_) peer_->invalidate();
    }

protected:
    virtual bool CloseQuery();
    void Loaded() override;

private:
    void applyPosition();
    // The window this one belongs to while it shows: the active one when it shows (a window
    // opened from a modal one belongs to that), else the main window when it shows; the main
    // window belongs to none.
    TForm* OwnerWhenShown() const;
    // The window's top-left corner on the screen (an MDI child's frame included).
    TPoint WindowOrigin() const;
    void createClient();
    void leaveMDIActivation();
    void destroyClient();
    void placeClient();
    std::vector<TForm*> mdiChildren() const;
    HWND clientHandle_ = nullptr;
    std::unique_ptr<ws::PeerHost> clientHost_;
    std::unique_ptr<ws::PaintedPeer> clientPeer_;
    TFormBorderStyle borderStyle_ = bsSizeable;
    bool modal_ = false;
    bool shownOnce_ = false;
    HWND owner_ = nullptr;  // the owner's window while this one shows
    bool frameActive_ = false;
    TCanvas frameCanvas_;
    TIcon icon_;
};

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    void Initialize();
    // Before Initialize: the fonts are set up on a thread of their own from Initialize on,
    // while the program reads its forms; the first text measured or drawn waits for them.
    void SetUpFontsAhead();
    // Creates a form of type T owned by the application; the first becomes the main form.
    template <class T>
    void CreateForm(T*& ref, const std::string& resourceName) {
        ref = new T(this);
        if (!mainForm_) mainForm_ = ref;
        ref->InitForm(resourceName);
    }
    void Run();
    void ProcessMessages();
    // Handles one message, or idles until one arrives.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Lets a test process run the message loop again after its main window closed.
    void ResetTerminated() { terminated_ = false; }
    void HandleException(TObject* sender);  // the exception being handled now
    void ShowException(Exception& e);
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* f) { mainForm_ = f; }
    std::string Title;
    TColor HintColor = clInfoBk;  // of every hint window unless its control says otherwise
    // Hides the hint window that shows now.
    void CancelHint();
    bool ShowMainForm = true;
    TExceptionEvent OnException;
    TNotifyEvent OnIdle;
    int ExitCode = 0;
    // The application's own hidden window; messages sent or posted to it go through the hooks.
    HWND Handle();
    // A hook sees each message of the application window, newest hook first; answering true
    // ends the message's handling. The id takes the hook off again.
    using TWindowHook = std::function<bool(TMessage&)>;
    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int id);
    // The application's icon: what a form without an icon of its own shows in its caption.
    TIcon* Icon() { return &icon_; }

private:
    bool ProcessMessage(MSG& msg);
    TIcon icon_;
    HWND handle_ = nullptr;
    std::vector<std::pair<int, TWindowHook>> hooks_;
    int nextHook_ = 0;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TScreen"; }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    // The cursor list: the class library's standard cursors under their TCursor numbers and
    // cursors the program adds under its own (drag cursors 100 to 103, for example). An
    // index without a cursor answers the standard arrow.
    HCURSOR Cursors(int index);
    void SetCursors(int index, HCURSOR cursor);
    int Width() const;
    int Height() const;
    std::vector<TForm*> Forms;

private:
    TCursor cursor_ = crDefault;
    std::map<int, HCURSOR> cursors_;
};

extern TApplication* Application;
extern TScreen* Screen;

// Ends the process at once with the exit code, after running the exit procedures.
[[noreturn]] void Halt(int exitCode);
// Work that must happen even when the process is ended by Halt (last added runs first);
// the id removes it again once the work is done otherwise.
int AddExitProc(std::function<void()> proc);
void RemoveExitProc(int id);

void RegisterFormClasses();
// Registers every class of the class library (called by Application->Initialize()).
void RegisterStandardClasses();
