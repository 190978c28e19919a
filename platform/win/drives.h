// Drives. Linux has no drive letters; here a "drive" is a mounted file system the user can
// read (from /proc/self/mounts, pseudo file systems and system mounts left out) and the
// user's home folder. Its root is the mount point with a trailing "/"; "/" comes first,
// then the home folder, then the others by path. Callers that walked drive letters walk
// these roots the same way.
#pragma once

#include <string>
#include <vector>

#include "platform/win/wintypes.h"

constexpr UINT DRIVE_UNKNOWN = 0, DRIVE_NO_ROOT_DIR = 1, DRIVE_REMOVABLE = 2, DRIVE_FIXED = 3,
               DRIVE_REMOTE = 4, DRIVE_CDROM = 5, DRIVE_RAMDISK = 6;
constexpr DWORD FILE_CASE_SENSITIVE_SEARCH = 0x1, FILE_CASE_PRESERVED_NAMES = 0x2,
                FILE_UNICODE_ON_DISK = 0x4, FILE_PERSISTENT_ACLS = 0x8;
constexpr UINT SEM_FAILCRITICALERRORS = 0x1, SEM_NOOPENFILEERRORBOX = 0x8000;

struct DriveInfo {
    std::string root;    // ends with "/"
    std::string device;  // as mounted ("/dev/sda1", "server:/share", "tmpfs")
    std::string fsType;  // "ext4", "vfat", "nfs4", ...
    UINT type = DRIVE_FIXED;
};

// The drives of mount-table text (the format of /proc/self/mounts). `readable` decides
// whether the user may list a folder (tests pass their own).
std::vector<DriveInfo> DrivesFromMounts(const std::string& mounts, const std::string& home,
                                        bool (*readable)(const std::string& dir));
// The drives now.
std::vector<DriveInfo> ListDrives();
// The drive a path lies on (the longest root that begins it); false when there is none.
bool DriveOfPath(const std::string& path, DriveInfo& out);

// The roots, each ended by a NUL, the list by one more NUL. Returns the length written
// without the last NUL, or the size needed (with it) when the buffer is too small.
DWORD GetLogicalDriveStringsA(DWORD bufferLength, char* buffer);
// The kind of the drive whose root is given (null: the current folder's drive); a folder
// that is not a root gives the kind of the drive it lies on; DRIVE_NO_ROOT_DIR when the
// path does not exist.
UINT GetDriveTypeA(const char* root);
BOOL GetVolumeInformationA(const char* root, char* volumeName, DWORD volumeNameSize,
                           DWORD* serialNumber, DWORD* maxComponentLength, DWORD* fileSystemFlags,
                           char* fileSystemName, DWORD fileSystemNameSize);
BOOL GetDiskFreeSpaceExA(const char* directory, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                         uint64_t* totalFreeBytes);
// Kept for callers that silence the system's error boxes; this layer shows none.
UINT SetErrorMode(UINT mode);

// Copies a UTF-8 text into a fixed buffer without cutting a character; always ends with NUL.
void CopyTextToBuffer(const std::string& text, char* buffer, size_t size);
