#include "platform/win/shellInfo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "platform/rtl/sysutils.h"
#include "platform/win/builtinIcons.h"
#include "platform/win/desktopAssoc.h"
#include "platform/win/drives.h"
#include "platform/win/iconTheme.h"
#include "platform/win/mimeTypes.h"

namespace {

// What the shell knows of one item.
struct Item {
    std::string path;  // without trailing "/" (except "/")
    bool folder = false, drive = false, computer = false, exists = false;
    UINT driveType = DRIVE_FIXED;
    std::string mime, ext;
};

struct KnownType {
    BuiltinIcon icon;
    const char* typeName;
};

// File kinds the program's own icons and type names know without MIME data.
const std::map<std::string, KnownType>& KnownExtensions() {
    static const std::map<std::string, KnownType> t = {
        {"pdf", {BuiltinIcon::Pdf, "PDF 文档"}},
        {"ps", {BuiltinIcon::PostScript, "PostScript 文档"}},
        {"eps", {BuiltinIcon::PostScript, "EPS 图像"}},
        {"jpg", {BuiltinIcon::Image, "JPEG 图像"}},
        {"jpeg", {BuiltinIcon::Image, "JPEG 图像"}},
        {"png", {BuiltinIcon::Image, "PNG 图像"}},
        {"bmp", {BuiltinIcon::Image, "BMP 图像"}},
        {"gif", {BuiltinIcon::Image, "GIF 图像"}},
        {"tif", {BuiltinIcon::Image, "TIFF 图像"}},
        {"tiff", {BuiltinIcon::Image, "TIFF 图像"}},
        {"ico", {BuiltinIcon::Image, "Windows 图标"}},
        {"doc", {BuiltinIcon::Document, "Word 文档"}},
        {"docx", {BuiltinIcon::Document, "Word 文档"}},
        {"rtf", {BuiltinIcon::Document, "RTF 文档"}},
        {"odt", {BuiltinIcon::Document, "ODT 文档"}},
        {"xls", {BuiltinIcon::Spreadsheet, "Excel 电子表格"}},
        {"xlsx", {BuiltinIcon::Spreadsheet, "Excel 电子表格"}},
        {"ods", {BuiltinIcon::Spreadsheet, "ODS 电子表格"}},
        {"csv", {BuiltinIcon::Spreadsheet, "CSV 文档"}},
        {"ppt", {BuiltinIcon::Presentation, "PowerPoint 演示文稿"}},
        {"pptx", {BuiltinIcon::Presentation, "PowerPoint 演示文稿"}},
        {"odp", {BuiltinIcon::Presentation, "ODP 演示文稿"}},
        {"mdb", {BuiltinIcon::Database, "Access 数据库"}},
        {"accdb", {BuiltinIcon::Database, "Access 数据库"}},
        {"txt", {BuiltinIcon::Text, "文本文档"}},
        {"log", {BuiltinIcon::Text, "日志文件"}},
        {"ini", {BuiltinIcon::Text, "配置设置"}},
        {"htm", {BuiltinIcon::Html, "HTML 文档"}},
        {"html", {BuiltinIcon::Html, "HTML 文档"}},
        {"zip", {BuiltinIcon::Archive, "ZIP 压缩文件"}},
        {"gz", {BuiltinIcon::Archive, "GZIP 压缩文件"}},
        {"tar", {BuiltinIcon::Archive, "TAR 归档文件"}},
        {"7z", {BuiltinIcon::Archive, "7-Zip 压缩文件"}},
        {"rar", {BuiltinIcon::Archive, "RAR 压缩文件"}},
        {"exe", {BuiltinIcon::Executable, "应用程序"}},
        {"wav", {BuiltinIcon::Audio, "波形声音"}},
        {"mp3", {BuiltinIcon::Audio, "MP3 音频"}},
        {"avi", {BuiltinIcon::Video, "AVI 视频"}},
        {"mp4", {BuiltinIcon::Video, "MP4 视频"}},
    };
    return t;
}

bool Has(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

BuiltinIcon IconForMime(const std::string& mime) {
    if (mime == "application/pdf") return BuiltinIcon::Pdf;
    if (Has(mime, "postscript") || mime == "image/x-eps") return BuiltinIcon::PostScript;
    if (mime.compare(0, 6, "image/") == 0) return BuiltinIcon::Image;
    if (Has(mime, "spreadsheet") || Has(mime, "excel") || mime == "text/csv")
        return BuiltinIcon::Spreadsheet;
    if (Has(mime, "presentation") || Has(mime, "powerpoint")) return BuiltinIcon::Presentation;
    if (Has(mime, "msword") || Has(mime, "wordprocessing") || Has(mime, "opendocument.text") ||
        Has(mime, "rtf"))
        return BuiltinIcon::Document;
    if (Has(mime, "msaccess") || Has(mime, "database") || Has(mime, "sqlite"))
        return BuiltinIcon::Database;
    if (mime == "text/html") return BuiltinIcon::Html;
    if (mime.compare(0, 5, "text/") == 0) return BuiltinIcon::Text;
    if (mime.compare(0, 6, "audio/") == 0) return BuiltinIcon::Audio;
    if (mime.compare(0, 6, "video/") == 0) return BuiltinIcon::Video;
    if (Has(mime, "zip") || Has(mime, "tar") || Has(mime, "compressed") || Has(mime, "rar") ||
        Has(mime, "bzip") || Has(mime, "xz") || Has(mime, "archive"))
        return BuiltinIcon::Archive;
    if (Has(mime, "executable") || Has(mime, "msdownload") || Has(mime, "sharedlib"))
        return BuiltinIcon::Executable;
    return BuiltinIcon::File;
}

std::string BaseName(const std::string& path) {
    if (path == "/") return "/";
    size_t s = path.find_last_of('/');
    return s == std::string::npos ? path : path.substr(s + 1);
}

std::string HomeFolder() {
    const char* h = std::getenv("HOME");
    std::string s = h ? h : "";
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

Item Classify(const std::string& raw, DWORD attrs, bool useAttributes) {
    Item it;
    it.path = raw;
    it.computer = raw == kComputerItem;
    while (it.path.size() > 1 && it.path.back() == '/') it.path.pop_back();
    if (it.computer) {
        it.exists = it.folder = true;
        return it;
    }
    if (useAttributes) {
        it.exists = true;
        it.folder = (attrs & SHGFI_FILE_ATTRIBUTE_DIRECTORY) != 0;
    } else {
        struct stat st {};
        it.exists = !it.path.empty() && stat(it.path.c_str(), &st) == 0;
        it.folder = it.exists && S_ISDIR(st.st_mode);
    }
    if (it.folder && it.exists && !useAttributes) {
        for (const DriveInfo& d : ListDrives()) {
            std::string root = d.root.size() > 1 ? d.root.substr(0, d.root.size() - 1) : d.root;
            if (root == it.path) {
                it.drive = true;
                it.driveType = d.type;
            }
        }
    }
    if (!it.folder) {
        std::string name = BaseName(it.path);
        size_t dot = name.find_last_of('.');
        it.ext = dot == std::string::npos || dot == 0 ? "" : LowerCase(name.substr(dot + 1));
        it.mime = MimeTypeOfName(name);
    }
    return it;
}

std::string DriveKindName(UINT type) {
    switch (type) {
        case DRIVE_REMOVABLE:
            return "可移动磁盘";
        case DRIVE_CDROM:
            return "CD 驱动器";
        case DRIVE_REMOTE:
            return "网络驱动器";
        case DRIVE_RAMDISK:
            return "RAM 磁盘";
        default:
            return "本地磁盘";
    }
}

std::string TypeName(const Item& it) {
    if (it.computer) return "系统文件夹";
    if (it.drive) return DriveKindName(it.driveType);
    if (it.folder) return "文件夹";
    std::string comment = MimeTypeComment(it.mime);
    if (!comment.empty()) return comment;
    auto known = KnownExtensions().find(it.ext);
    if (known != KnownExtensions().end()) return known->second.typeName;
    return it.ext.empty() ? "文件" : UpperCase(it.ext) + " 文件";
}

std::string DisplayName(const Item& it) {
    if (it.computer) return "计算机";
    if (it.drive) {
        std::string kind = it.path == HomeFolder() ? "主文件夹" : DriveKindName(it.driveType);
        return kind + " (" + it.path + ")";
    }
    return BaseName(it.path);
}

// The icon of an item: theme names to try, then the program's own icon.
struct IconChoice {
    std::vector<std::string> names;
    BuiltinIcon builtin = BuiltinIcon::File;
};

IconChoice ChooseIcon(const Item& it, bool open) {
    IconChoice c;
    if (it.computer) {
        c.names = {"computer"};
        c.builtin = BuiltinIcon::Computer;
    } else if (it.drive) {
        if (it.path == HomeFolder()) {
            c.names = {"user-home"};
            c.builtin = BuiltinIcon::Home;
        } else {
            switch (it.driveType) {
                case DRIVE_REMOVABLE:
                    c.names = {"drive-removable-media"};
                    c.builtin = BuiltinIcon::DriveRemovable;
                    break;
                case DRIVE_CDROM:
                    c.names = {"media-optical", "drive-optical"};
                    c.builtin = BuiltinIcon::DriveCdrom;
                    break;
                case DRIVE_REMOTE:
                    c.names = {"folder-remote", "network-server"};
                    c.builtin = BuiltinIcon::DriveRemote;
                    break;
                case DRIVE_RAMDISK:
                    c.names = {"drive-harddisk"};
                    c.builtin = BuiltinIcon::DriveRam;
                    break;
                default:
                    c.names = {"drive-harddisk"};
                    c.builtin = BuiltinIcon::DriveFixed;
                    break;
            }
        }
    } else if (it.folder) {
        c.names = open ? std::vector<std::string>{"folder-open", "folder"}
                       : std::vector<std::string>{"folder"};
        c.builtin = open ? BuiltinIcon::FolderOpen : BuiltinIcon::Folder;
    } else {
        c.names = MimeIconNames(it.mime);
        c.names.push_back("text-x-generic");
        auto known = KnownExtensions().find(it.ext);
        c.builtin = !it.mime.empty()                   ? IconForMime(it.mime)
                    : known != KnownExtensions().end() ? known->second.icon
                                                       : BuiltinIcon::File;
        if (c.builtin == BuiltinIcon::File && known != KnownExtensions().end())
            c.builtin = known->second.icon;
    }
    return c;
}

IconImage IconAt(const IconChoice& c, int size) {
    IconImage img;
    if (!LoadThemeIcon(c.names, size, img)) img = DrawBuiltinIcon(c.builtin, size);
    return img;
}

// The index of an icon in both system lists, adding it on first use.
int SystemIndex(const IconChoice& c) {
    static std::map<std::string, int> indexes;
    std::string key = std::to_string(int(c.builtin)) + (IconThemeEnabled() ? "|theme" : "|own");
    for (const std::string& n : c.names) key += "|" + n;
    auto hit = indexes.find(key);
    if (hit != indexes.end()) return hit->second;
    // Found and decoded when first drawn or read: a run that shows no window needs none.
    // The theme's or the program's own, as the key says, whenever the picture is made.
    const bool themed = IconThemeEnabled();
    auto make = [c, themed](int size) {
        return themed ? IconAt(c, size) : DrawBuiltinIcon(c.builtin, size);
    };
    int i = ImageListAddDeferred(SystemImageList(true), [make] { return make(kSmallIconSize); });
    ImageListAddDeferred(SystemImageList(false), [make] { return make(kLargeIconSize); });
    indexes[key] = i;
    return i;
}

DWORD Attributes(const Item& it) {
    DWORD a = 0;
    if (it.folder) a |= SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
    if (!it.computer) a |= SFGAO_FILESYSTEM | SFGAO_CANRENAME | SFGAO_CANDELETE;
    if (BaseName(it.path).compare(0, 1, ".") == 0) a |= SFGAO_HIDDEN;
    struct stat st {};
    if (!it.computer && lstat(it.path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) a |= SFGAO_LINK;
    if (!it.computer && it.exists && access(it.path.c_str(), W_OK) != 0) a |= SFGAO_READONLY;
    return a;
}

}  // namespace

HIMAGELIST SystemImageList(bool small) {
    static HIMAGELIST lists[2] = {nullptr, nullptr};
    HIMAGELIST& l = lists[small ? 0 : 1];
    if (!l) {
        int size = small ? kSmallIconSize : kLargeIconSize;
        l = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 32, 16);
        ImageListMarkShared(l);
    }
    return l;
}

DWORD_PTR SHGetFileInfoA(const char* path, DWORD fileAttributes, SHFILEINFOA* info, UINT,
                         UINT flags) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string p;
    if (flags & SHGFI_PIDL) {
        auto list = reinterpret_cast<LPCITEMIDLIST>(path);
        p = ItemIdListText(list);
        if (p.empty()) p = SpecialFolderPath(CSIDL_DESKTOP);
    } else {
        p = path;
    }
    Item it = Classify(p, fileAttributes, (flags & SHGFI_USEFILEATTRIBUTES) != 0);
    if (!it.exists) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const bool small = (flags & SHGFI_SMALLICON) != 0;
    const bool wantsIcon = flags & (SHGFI_ICON | SHGFI_SYSICONINDEX);
    if (!info && !(flags & SHGFI_SYSICONINDEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    SHFILEINFOA scratch;
    SHFILEINFOA& out = info ? *info : scratch;
    if (wantsIcon) {
        IconChoice c = ChooseIcon(it, (flags & SHGFI_OPENICON) != 0);
        out.iIcon = SystemIndex(c);
        if (flags & SHGFI_ICON) {
            IconImage img;
            ImageListGetImage(SystemImageList(small), out.iIcon, img);
            out.hIcon = NewIconHandle(img);
        }
    }
    if (flags & SHGFI_DISPLAYNAME)
        CopyTextToBuffer(DisplayName(it), out.szDisplayName, sizeof out.szDisplayName);
    if (flags & SHGFI_TYPENAME)
        CopyTextToBuffer(TypeName(it), out.szTypeName, sizeof out.szTypeName);
    if (flags & SHGFI_ATTRIBUTES) out.dwAttributes = Attributes(it);
    if (flags & SHGFI_SYSICONINDEX) return reinterpret_cast<DWORD_PTR>(SystemImageList(small));
    return 1;
}
