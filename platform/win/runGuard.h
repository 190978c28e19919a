// What a run leaves behind when it is ended from outside: on the signals that end a
// program (Ctrl-C, SIGTERM, a closed terminal) its children are ended and the run's
// temporary folder is removed; a run folder that a killed run could not remove is
// removed by the next run in that folder, once no process holds it.
#pragma once

#include <string>

// Installs the handlers of SIGINT, SIGTERM and SIGHUP (once). They end the children
// started to end with the program, remove the claimed run folders, let go of the named
// mutexes (so their files go), and then end the program by the signal's own default
// action.
void InstallRunGuard();

// Marks a run's temporary folder as held by this process for the life of the object: a
// marker file in it stays locked, and the folder is removed when a guarded signal ends
// the program.
class TRunFolderClaim {
public:
    explicit TRunFolderClaim(const std::string& folder);
    ~TRunFolderClaim();
    TRunFolderClaim(const TRunFolderClaim&) = delete;
    TRunFolderClaim& operator=(const TRunFolderClaim&) = delete;

private:
    int lock_ = -1;
    int slot_ = -1;
};

// The name of the marker file in a claimed run folder.
extern const char* const kRunFolderMarker;

// Removes every folder directly in `parent` whose name is eight digits, that holds the
// marker of a run of this program and whose marker no process holds. Returns how many.
int RemoveAbandonedRunFolders(const std::string& parent);
// The same for the folders whose names start with prefix (claimed the same way).
int RemoveAbandonedFolders(const std::string& parent, const std::string& prefix);

// Run folders made in folders that may not be listable (a source folder of mode 0300)
// are recorded, as they are made, in a private folder of this user, so that a later run
// can remove one that a killed run left there by its name alone.
void RecordRunFolder(const std::string& folder);
// The run removed its folder: its record goes, and the folder of records with its last.
void ForgetRunFolder(const std::string& folder);
// Removes each recorded folder that is still there with the marker of a run that no
// process holds, and forgets the records of folders that are gone. Returns how many
// folders were removed.
int RemoveRecordedRunFolders();

// Removes a folder and everything in it without following links; usable in a signal
// handler (system calls only). False when something could not be removed.
bool RemoveTreeNow(const char* path);

// A socket that the office leaves in the shared temporary folder when it is killed: when
// a guarded signal ends the program, it is removed after the children are ended (when it
// is a socket of this user), for the life of the object.
class TSocketClaim {
public:
    explicit TSocketClaim(const std::string& path);
    ~TSocketClaim();
    TSocketClaim(const TSocketClaim&) = delete;
    TSocketClaim& operator=(const TSocketClaim&) = delete;

private:
    int slot_ = -1;
};
