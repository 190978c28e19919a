// What the engine needs of the main window: the state every run shares and the one
// message box. The main window owns a TMainState and registers it; the engine reaches it
// through MainState(), and shows every message through ShowMsg.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/classes.h"
#include "platform/win/runGuard.h"

class TComponent;

// Kinds of the message box, passed as a byte.
enum TMsgKind : uint8_t { mkWarning = 0, mkError = 1, mkInformation = 2, mkConfirmation = 3 };

// The lists are made with the state and live as long as it does.
class TMainState {
public:
    // Finds the main window's components by name; null when there is none of that name.
    using TComponentFinder = std::function<TComponent*(const std::string& name)>;

    explicit TMainState(TComponentFinder find) : find_(std::move(find)) {}
    TMainState(const TMainState&) = delete;
    TMainState& operator=(const TMainState&) = delete;

    std::string FAppPath;     // program folder, trailing "/"
    std::string FGsExe;       // full path of the Ghostscript console program
    std::string FDestDir;     // destination folder of the current run
    std::string FLastResult;  // output file of the last successful run
    std::string FLogDir;      // the day's log folder, trailing "/"
    const std::unique_ptr<TStringList> FSourceFiles = std::make_unique<TStringList>();
    const std::unique_ptr<TStringList> FSelection = std::make_unique<TStringList>();
    const std::unique_ptr<TStringList> FErrors = std::make_unique<TStringList>();
    bool FBatchMode = false;
    std::string FRunTemp;  // temporary folder of the current run, trailing "/"; empty outside a run
    bool FRunCancelled =
        false;  // the window was closed during the run: nothing more is moved into place
    // A step of the current run was ended for making no progress: the run ends there,
    // no later Ghostscript job of it is started.
    bool FStepCut = false;
    std::string FArrangeTmp;  // temporary folder of the page-order window, trailing "/"
    std::unique_ptr<TRunFolderClaim> FArrangeClaim;  // held while FArrangeTmp exists
    std::string FMergeFile1;
    std::string FMergeFile2;
    const std::unique_ptr<TStringList> FMergeOrder = std::make_unique<TStringList>();

    // The option controls and the other components of the main window, by name.
    TComponent* FindComponent(const std::string& name) const {
        return find_ ? find_(name) : nullptr;
    }

private:
    TComponentFinder find_;
};

// The one main window (null before it exists).
TMainState* MainState();
void SetMainState(TMainState* state);

// The one message box: returns 1 for OK/Yes, 2 for Cancel/No (always 2 when autoClose).
using TShowMsgFunc = int (*)(const std::string& text, TMsgKind kind, bool autoClose);
void SetShowMsgHandler(TShowMsgFunc f);
int ShowMsg(const std::string& text, TMsgKind kind, bool autoClose);
