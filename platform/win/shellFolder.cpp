#include "platform/win/shellFolder.h"

#include <sys/stat.h>

#include <cstring>

#include "platform/win/shellInfo.h"

namespace {

std::string Trimmed(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

bool IsFolder(const std::string& p) {
    struct stat st {};
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder of the file system ("" is the desktop, whose lists carry whole paths).
class ShellFolder : public TComObject<IShellFolder, IID_IShellFolder> {
public:
    explicit ShellFolder(std::string path) : path_(std::move(path)) {}

    HRESULT ParseDisplayName(HWND, void*, LPCWSTR name, ULONG* eaten, LPITEMIDLIST* out,
                             ULONG*) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!name) return E_INVALIDARG;
        const std::u16string_view wide(name);
        const std::string text = Trimmed(TextFromWide(wide));
        if (text.empty()) return E_INVALIDARG;
        const bool absolute = text[0] == '/';
        if (!absolute && path_.empty()) return E_INVALIDARG;  // the desktop parses paths only
        struct stat st {};
        if (stat(Resolved(text).c_str(), &st) != 0) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        // Relative to this folder: the desktop's lists are paths, a folder's are names below it.
        std::string relative = text;
        if (absolute && !path_.empty()) {
            const std::string base = path_ == "/" ? "" : path_;
            if (text.compare(0, base.size() + 1, base + "/") != 0) return E_INVALIDARG;
            relative = text.substr(base.size() + 1);
        }
        *out = MakeItemIdList(relative);
        if (!*out) return E_OUTOFMEMORY;
        if (eaten) *eaten = ULONG(wide.size());
        return S_OK;
    }

    HRESULT BindToObject(LPCITEMIDLIST item, void*, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IShellFolder))
            return E_NOINTERFACE;
        const std::string path = ItemPath(item);
        if (!IsFolder(path)) return E_INVALIDARG;
        *out = static_cast<IShellFolder*>(new ShellFolder(path));
        return S_OK;
    }

    HRESULT GetDisplayNameOf(LPCITEMIDLIST item, DWORD flags, STRRET* name) override {
        if (!name) return E_POINTER;
        const std::string own = ItemIdListText(item), path = ItemPath(item);
        std::string answer = path;
        if (flags & SHGDN_INFOLDER) {
            const size_t cut = path.find_last_of('/');
            if (path.size() > 1 && cut != std::string::npos) answer = path.substr(cut + 1);
        }
        if (!(flags & SHGDN_FORPARSING)) {
            SHFILEINFOA fi;
            if (SHGetFileInfoA(path.c_str(), 0, &fi, sizeof fi, SHGFI_DISPLAYNAME))
                answer = fi.szDisplayName;
        }
        // The three forms a caller must read, as the shell's folders answer them: the item's
        // own text by offset, a short text in the record, a long one as a wide string.
        if (!own.empty() && answer == own) {
            name->uType = STRRET_OFFSET;
            name->uOffset = offsetof(SHITEMID, abID);
        } else if (answer.size() < MAX_PATH) {
            name->uType = STRRET_CSTR;
            std::memcpy(name->cStr, answer.c_str(), answer.size() + 1);
        } else {
            const std::u16string wide = WideFromText(answer);
            auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(WCHAR)));
            if (!copy) return E_OUTOFMEMORY;
            std::memcpy(copy, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
            name->uType = STRRET_WSTR;
            name->pOleStr = copy;
        }
        return S_OK;
    }

private:
    ~ShellFolder() override = default;

    // The folder itself for the empty list; a path as it stands; a name below this folder.
    std::string ItemPath(LPCITEMIDLIST item) const {
        const std::string text = ItemIdListText(item);
        if (text.empty()) return path_.empty() ? SpecialFolderPath(CSIDL_DESKTOP) : path_;
        return Resolved(text);
    }
    std::string Resolved(const std::string& text) const {
        if (path_.empty() || text[0] == '/' || text.compare(0, 2, "::") == 0) return text;
        return (path_ == "/" ? "" : path_) + "/" + text;
    }

    std::string path_;
};

}  // namespace

HRESULT SHGetDesktopFolder(IShellFolder** out) {
    if (!out) return E_POINTER;
    *out = new ShellFolder("");
    return S_OK;
}
