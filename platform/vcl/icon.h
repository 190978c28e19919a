// TIcon: an icon or cursor picture. It keeps the file it was loaded from byte for byte
// (so saving writes the same bytes back) and makes its handle on demand.
#pragma once

#include <string>

#include "platform/rtl/classes.h"
#include "platform/vcl/graphicErrors.h"
#include "platform/vcl/graphics.h"
#include "platform/win/icons.h"

class TIcon : public TGraphic {
public:
    TIcon() = default;
    ~TIcon() override;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;
    std::string ClassName() const override { return "TIcon"; }

    // The size of the image the handle shows (the one closest to 32 pixels); 0 when empty.
    int Width() const override;
    int Height() const override;
    bool Empty() const override { return data_.empty() && !handle_; }
    // At the icon's own size at the rectangle's top-left corner, transparent.
    void Draw(TCanvas* c, const TRect& r) override;

    // Reads one icon or cursor file from the stream's position (raises EInvalidGraphic and
    // leaves the icon as it was when the data are not one); the stream ends up after it.
    void LoadFromStream(TStream& s);
    // The loaded file as it was read; an icon made from a handle as a one-image file; an
    // empty icon as a bare 6-byte header of type 0.
    void SaveToStream(TStream& s);
    void LoadFromFile(const std::string& name) override;
    void SaveToFile(const std::string& name) override;
    void LoadFromData(const std::string& bytes) override;
    std::string SaveToData();

    // Made from the data on first use; owned by the icon.
    HICON Handle();
    // Takes over the handle (the loaded data are dropped).
    void SetHandle(HICON h);
    // Gives the handle to the caller; the icon keeps its data (and is empty without them).
    HICON ReleaseHandle();
    void Assign(const TIcon& other);
    bool IsCursor() const { return cursor_; }

private:
    void Changed();
    std::string data_;
    HICON handle_ = nullptr;
    bool cursor_ = false;
};
