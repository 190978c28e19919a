// The conversion run started by the Start button (or by the command line).
#include "app/main.h"

void TForm_main::StyButton_startClick(TObject*) {}
bool TForm_main::RunFunction(const std::string&, std::string&, const std::string&) { return false; }
std::string TForm_main::ReplaceExt(const std::string& path, const std::string& ext) const { return ChangeFileExt(path, ext); }
std::string TForm_main::JoinName(const std::string& path, const std::string& folder) const { return folder + ExtractFileName(path); }
std::string TForm_main::DestName(const std::string& path, const std::string& ext, const std::string& prefix,
                                 const std::string& suffix) const {
    return FDestDir + prefix + ChangeFileExt(ExtractFileName(path), "") + suffix + ext;
}
std::string TForm_main::AddSuffix(const std::string& path, const std::string& suffix) const {
    return ChangeFileExt(path, "") + suffix + ExtractFileExt(path);
}
