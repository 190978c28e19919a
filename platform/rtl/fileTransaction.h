// Results moved into their places all or nothing. A run that writes several files (one
// per page, a preview with its folders) must not leave half a new set over half an old
// one when the destination is full or a name there is taken: either every file arrives,
// or every file that was there before is back as it was and nothing new is left.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TFileTransaction {
public:
    // Plans moving the file source to target (a full file name). With makeFolders,
    // missing folders on the way to target are made (and removed again when the move is
    // undone); without, a missing folder fails the move.
    void Add(const std::string& source, const std::string& target, bool makeFolders = false);

    // Moves every planned file: first each one is checked (a target that is a folder, a
    // folder on the way that is a file, a file we may not replace), then every file is
    // copied or renamed beside its target, and only then put in place, the older files
    // kept aside until all are in place. On any failure everything is undone, and
    // failedTarget and cause name the file and the reason ("磁盘空间不足。", ...; the
    // system's own text is SystemErrorText of ErrorCode). Sources that were moved are gone
    // either way.
    bool Commit(std::string& failedTarget, std::string& cause);

    bool Empty() const { return moves_.empty(); }
    // The errno value of the last failed Commit.
    int ErrorCode() const { return error_; }

private:
    struct Move {
        std::string source, target;
        std::string staged;  // the new file beside its target, before it takes its place
        std::string kept;    // the older target, set aside until the end
        bool makeFolders = false;
        bool placed = false;
    };
    std::vector<Move> moves_;
    std::vector<std::string> madeFolders_;  // in the order they were made
    // Links that stood where a result folder goes: (the link's name, where it was set aside).
    std::vector<std::pair<std::string, std::string>> keptLinks_;
    int error_ = 0;

    bool Check(std::string& failedTarget, int& err);
    bool MakeFolders(std::string& failedTarget, int& err);
    bool Stage(std::string& failedTarget, int& err);
    bool Place(std::string& failedTarget, int& err);
    void Undo();
};
