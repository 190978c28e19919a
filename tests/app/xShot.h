// The screen of a test's X server as a picture to read pixels from, its file kept where
// VEXOMAT_SCREENSHOTS says (else in the test's folder) so that a failure can name it.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/app/fixture.h"
#include "tests/app/xserver.h"

namespace xtest {

class ScreenShots {
public:
    explicit ScreenShots(std::string suffix = "") : suffix_(std::move(suffix)) {}

    // The screen now, as `name`.png; an empty picture when the server gave none.
    TBitmap& take(const XServer& x, const std::string& folder, const std::string& name) {
        const char* dir = std::getenv("VEXOMAT_SCREENSHOTS");
        path_ =
            (dir && *dir ? IncludeTrailingPathDelimiter(dir) : folder) + name + suffix_ + ".png";
        shot_ = std::make_unique<TBitmap>();
        if (x.screenshot(path_)) shot_->LoadFromFile(path_);
        return *shot_;
    }
    // The last picture's file, and a pixel of it (screen coordinates).
    const std::string& path() const { return path_; }
    TColor pixel(int x, int y) const { return shot_->Canvas()->Pixel(x, y); }

private:
    std::string suffix_, path_;
    std::unique_ptr<TBitmap> shot_;
};

}  // namespace xtest
