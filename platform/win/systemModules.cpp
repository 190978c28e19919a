// The system libraries built into the layer and the calls each one offers by name.
#include <map>
#include <string>
#include <utility>

#include "platform/win/module.h"
#include "platform/win/shellFolders.h"
#include "platform/win/shellInfo.h"
#include "platform/win/theme.h"

namespace {

template <class F>
FARPROC Proc(F* f) {
    return reinterpret_cast<FARPROC>(f);
}

using ProcTable = std::map<std::string, FARPROC>;

const ProcTable& UxTheme() {
    static const ProcTable t = {
        {"OpenThemeData", Proc(&OpenThemeData)},
        {"CloseThemeData", Proc(&CloseThemeData)},
        {"IsThemeBackgroundPartiallyTransparent", Proc(&IsThemeBackgroundPartiallyTransparent)},
        {"SetWindowTheme", Proc(&SetWindowTheme)},
        {"SetThemeAppProperties", Proc(&SetThemeAppProperties)},
        {"IsThemePartDefined", Proc(&IsThemePartDefined)},
        {"GetThemeString", Proc(&GetThemeString)},
        {"GetThemeBool", Proc(&GetThemeBool)},
        {"GetThemeInt", Proc(&GetThemeInt)},
        {"GetThemeEnumValue", Proc(&GetThemeEnumValue)},
        {"GetThemeFilename", Proc(&GetThemeFilename)},
        {"GetThemeSysBool", Proc(&GetThemeSysBool)},
        {"IsThemeActive", Proc(&IsThemeActive)},
        {"IsAppThemed", Proc(&IsAppThemed)},
        {"GetWindowTheme", Proc(&GetWindowTheme)},
        {"EnableThemeDialogTexture", Proc(&EnableThemeDialogTexture)},
        {"IsThemeDialogTextureEnabled", Proc(&IsThemeDialogTextureEnabled)},
        {"EnableTheming", Proc(&EnableTheming)},
        {"GetCurrentThemeName", Proc(&GetCurrentThemeName)},
        {"GetThemeAppProperties", Proc(&GetThemeAppProperties)},
    };
    return t;
}

const ProcTable& Shell32() {
    static const ProcTable t = {
        {"SHGetFileInfoA", Proc(&SHGetFileInfoA)},
        {"SHGetFolderPathA", Proc(&SHGetFolderPathA)},
        {"SHGetSpecialFolderLocation", Proc(&SHGetSpecialFolderLocation)},
        {"SHGetSpecialFolderPathA", Proc(&SHGetSpecialFolderPathA)},
        {"SHGetPathFromIDListA", Proc(&SHGetPathFromIDListA)},
        {"SHGetMalloc", Proc(&SHGetMalloc)},
        {"ILFree", Proc(&ILFree)},
    };
    return t;
}

const ProcTable& ShFolder() {
    static const ProcTable t = {{"SHGetFolderPathA", Proc(&SHGetFolderPathA)}};
    return t;
}

const ProcTable& ComCtl32() {
    static const ProcTable t = {
        {"ImageList_Create", Proc(&ImageList_Create)},
        {"ImageList_Destroy", Proc(&ImageList_Destroy)},
        {"ImageList_GetImageCount", Proc(&ImageList_GetImageCount)},
        {"ImageList_ReplaceIcon", Proc(&ImageList_ReplaceIcon)},
        {"ImageList_Remove", Proc(&ImageList_Remove)},
        {"ImageList_GetIcon", Proc(&ImageList_GetIcon)},
    };
    return t;
}

// The shell this layer offers has every facility of shell 6.0 (folder browsing with an edit
// box and a new-folder button, overlay icons), so its library says so.
VS_FIXEDFILEINFO Shell32Version() {
    VS_FIXEDFILEINFO v{};
    v.dwSignature = VS_FFI_SIGNATURE;
    v.dwStrucVersion = VS_FFI_STRUCVERSION;
    v.dwFileVersionMS = v.dwProductVersionMS = 6u << 16 | 0u;
    v.dwFileVersionLS = v.dwProductVersionLS = 2900u << 16 | 2180u;
    v.dwFileFlagsMask = 0x3F;
    v.dwFileOS = 0x00040004;  // VOS_NT_WINDOWS32
    v.dwFileType = 2;         // VFT_DLL
    return v;
}

}  // namespace

void RegisterSystemLibraries() {
    const std::pair<const char*, const ProcTable& (*)()> libraries[] = {
        {"uxtheme.dll", &UxTheme},
        {"shell32.dll", &Shell32},
        {"shfolder.dll", &ShFolder},
        {"comctl32.dll", &ComCtl32}};
    for (const auto& [library, table] : libraries)
        for (const auto& [name, proc] : table()) RegisterModuleExport(library, name, proc);
    const VS_FIXEDFILEINFO shell = Shell32Version();
    RegisterModuleVersion("shell32.dll", &shell);
}
