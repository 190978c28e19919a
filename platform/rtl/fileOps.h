// File operations the engine needs beyond the runtime's file routines: a folder made
// side by side with other processes, replacing moves that leave the target whole or
// untouched, appending to a file, and the size of an entry.
#pragma once

#include <cstdint>
#include <string>

// Makes one folder; a folder another process made meanwhile counts as made. Raises
// EInOutError ("MkDir " + dir) otherwise.
void ForceSingleFolder(const std::string& dir);
// True when target does not exist or could be deleted by us: a folder cannot be replaced by
// a file; a file needs a writable folder (in a sticky folder, ownership) and write access.
bool EntryReplaceable(const std::string& target);
// Renames source over target atomically; across file systems a regular file is copied
// beside target and renamed over it. False when neither worked (source then stays).
bool MoveEntryReplacing(const std::string& source, const std::string& target);
// Appends text to a file that its owner alone may read (a log: it may quote what the
// user's files hold). A missing file is made so; one of ours that others could read is
// made private first. Raises EInOutError.
void AppendToPrivateFile(const std::string& name, const std::string& text);
// -1 when the entry is missing, 0 for a folder, else the file's size.
int64_t EntrySize(const std::string& name);
