// A private folder of a predictable name in the shared temporary folder (the runtime folder
// the window system wants when the session names none). Another user may have made that
// name first, or put a link there: it is used only when it is this user's own real folder
// that nobody else may enter.
#pragma once

#include <string>

// `<temp>/<name>-<uid>`, made with mode 0700 when missing, when it is a folder (not
// a link) owned by this user with mode 0700; otherwise a fresh folder made by mkdtemp beside
// it, removed again when the program ends, by its exit or by a signal the run guard
// catches. Fresh folders that killed programs left there are removed first. "" when
// neither can be had.
std::string PrivateFolder(const std::string& temp, const std::string& name);
// Removes the fresh folders made so far (done at exit; a program that ends without running
// the exit handlers calls it itself).
void RemoveFreshPrivateFolders();
// Whether dir is a fresh folder of this program (one that goes when it ends).
bool IsFreshPrivateFolder(const std::string& dir);
// Whether `dir` is this user's own folder, not a link, that only its owner may enter.
bool IsPrivateFolder(const std::string& dir);
