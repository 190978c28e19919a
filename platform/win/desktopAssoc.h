// The desktop's file associations (freedesktop.org rules): the MIME type of a file from
// the shared MIME globs, the default application from mimeapps.list files and .desktop
// entries. Read on every call, so changes show at once; no external program is run.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct DesktopApp {
    std::string id;                 // "org.gnome.Evince.desktop"
    std::string program;            // full path of the Exec program
    std::vector<std::string> exec;  // the Exec line split into arguments, field codes kept
};

// "application/pdf"; "inode/directory" for a folder; "" when unknown.
std::string MimeTypeOfFile(const std::string& path);
// The same from the name alone (nothing is looked at on disk).
std::string MimeTypeOfName(const std::string& name);
// The XDG data folders, the user's first ($XDG_DATA_HOME, then $XDG_DATA_DIRS).
std::vector<std::string> XdgDataDirs();
// An installed application by its desktop file id, when its program is there.
std::optional<DesktopApp> FindDesktopApplication(const std::string& id);
// The application the desktop opens this MIME type with (a URL scheme as
// "x-scheme-handler/https"); none when nothing is associated or its program is missing.
std::optional<DesktopApp> DefaultApplicationFor(const std::string& mimeType);
// The argument vector that opens `target` (a path or URL) with the application.
std::vector<std::string> ExpandExecLine(const DesktopApp& app, const std::string& target);
// A Windows-style open command for the registry: "\"/usr/bin/evince\" \"%1\"".
std::string OpenCommandLine(const DesktopApp& app);
// "mailto", "https" for an address of the form "scheme:..."; "" for a path.
std::string UrlScheme(const std::string& s);
