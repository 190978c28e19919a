#include "engine/runner.h"

#include "engine/checker.h"
#include "engine/host.h"
#include "engine/resultPages.h"
#include "engine/util.h"
#include "platform/rtl/sysutils.h"

std::string ReplaceExt(const std::string& path, const std::string& ext) {
    return ChangeFileExt(path, "") + ext;
}

std::string JoinName(const std::string& path, const std::string& folder) {
    return folder + ExtractFileName(path);
}

std::string AddSuffix(const std::string& path, const std::string& suffix) {
    return ExtractFilePath(path) + ChangeFileExt(ExtractFileName(path), "") + suffix +
           ExtractFileExt(path);
}

std::string DestName(const std::string& destDir, const std::string& path, const std::string& ext,
                     const std::string& prefix, const std::string& suffix) {
    return destDir + prefix + ChangeFileExt(ExtractFileName(path), "") + suffix + ext;
}

TRun::TRun(TMainState& state, std::string temp)
    : state_(state), temp_(std::move(temp)), source_((*state.FSourceFiles)[0]) {}

std::string TRun::InTemp(const std::string& ext) const { return temp_ + "document" + ext; }

std::string TRun::Moved(const std::string& ext) const {
    return JoinName(ReplaceExt(source_, ext), state_.FDestDir);
}

std::string TRun::MovedWithSuffix(const std::string& suffix) const {
    return JoinName(AddSuffix(source_, suffix), state_.FDestDir);
}

std::string TRun::DestName(const std::string& ext, const std::string& prefix,
                           const std::string& suffix) const {
    return ::DestName(state_.FDestDir, source_, ext, prefix, suffix);
}

bool TRun::Clean(const std::function<bool()>& step) const {
    const int before = state_.FErrors->Count();
    const bool result = step();
    return result && state_.FErrors->Count() == before;
}

bool TRun::Pages(const std::string& ext, const std::function<bool(const std::string&)>& convert) {
    if (!CheckGhostscript(true)) return false;
    // The page files are results: written under the names they take in the destination.
    if (!Clean([&] { return convert(ReplaceExt(JoinName(source_, temp_), ext)); })) return false;
    // A page for every page of the document, before any older page file is replaced.
    if (!PagesAsExpected(ExpectedPdfPages(source_), PagesInFiles(temp_ + "*" + ext), {source_}))
        return false;
    MoveMatchingFiles(temp_ + "*" + ext, state_.FDestDir, Target);
    return true;
}

bool TRun::Single(const std::string& ext, const std::string& result,
                  const std::function<bool(const std::string&)>& convert) {
    if (!CheckGhostscript(true)) return false;
    Target = result;
    const std::string made = InTemp(ext);
    if (!Clean([&] { return convert(made); })) return false;
    if (!ResultMade(made, source_)) return false;
    // A result tells its pages before it replaces an older one, and made of a PDF it holds
    // every page of it; the pages of other sources are not known ahead.
    const int expected = SameText(ExtractFileExt(source_), ".pdf") ? ExpectedPdfPages(source_) : -1;
    if (!PagesAsExpected(expected, ResultFilePages(made), {source_})) return false;
    return MoveFileReplacing(made, result);
}
