#include "platform/automation/tiffLibrary.h"

#include <dlfcn.h>

#include <mutex>
#include <string>

#include "platform/rtl/sysutils.h"

namespace {

template <typename F>
void Bind(void* lib, F& f, const char* name, std::string& missing) {
    f = reinterpret_cast<F>(dlsym(lib, name));
    if (!f) missing += std::string(missing.empty() ? "" : ", ") + name;
}

}  // namespace

const TiffLibrary& Tiff() {
    static TiffLibrary api{};
    static std::string failure;
    static std::once_flag once;
    std::call_once(once, [] {
        void* lib = nullptr;
        for (const char* name : {"libtiff.so.6", "libtiff.so.5", "libtiff.so"})
            if ((lib = dlopen(name, RTLD_NOW | RTLD_LOCAL))) break;
        if (!lib) {
            const char* why = dlerror();
            failure =
                "Cannot load the TIFF library" + (why ? ": " + std::string(why) : std::string());
            return;
        }
        std::string missing;
        Bind(lib, api.Open, "TIFFOpen", missing);
        Bind(lib, api.Close, "TIFFClose", missing);
        Bind(lib, api.ReadDirectory, "TIFFReadDirectory", missing);
        Bind(lib, api.LastDirectory, "TIFFLastDirectory", missing);
        Bind(lib, api.GetField, "TIFFGetField", missing);
        Bind(lib, api.GetFieldDefaulted, "TIFFGetFieldDefaulted", missing);
        Bind(lib, api.IsTiled, "TIFFIsTiled", missing);
        Bind(lib, api.IsCODECConfigured, "TIFFIsCODECConfigured", missing);
        Bind(lib, api.RGBAImageOK, "TIFFRGBAImageOK", missing);
        Bind(lib, api.RGBAImageBegin, "TIFFRGBAImageBegin", missing);
        Bind(lib, api.RGBAImageGet, "TIFFRGBAImageGet", missing);
        Bind(lib, api.RGBAImageEnd, "TIFFRGBAImageEnd", missing);
        Bind(lib, api.CurrentDirOffset, "TIFFCurrentDirOffset", missing);
        Bind(lib, api.SetSubDirectory, "TIFFSetSubDirectory", missing);
        Bind(lib, api.ScanlineSize64, "TIFFScanlineSize64", missing);
        Bind(lib, api.ReadScanline, "TIFFReadScanline", missing);
        Bind(lib, api.TileRowSize64, "TIFFTileRowSize64", missing);
        Bind(lib, api.TileSize64, "TIFFTileSize64", missing);
        Bind(lib, api.ReadTile, "TIFFReadTile", missing);
        Bind(lib, api.SetErrorHandler, "TIFFSetErrorHandler", missing);
        Bind(lib, api.SetWarningHandler, "TIFFSetWarningHandler", missing);
        if (!missing.empty()) failure = "The TIFF library lacks " + missing;
    });
    if (!failure.empty()) throw Exception(failure);
    return api;
}
