// GIF files of arbitrary bytes: reading, decoding every frame into a bitmap file image and
// composing the frames must end in a clear error or a result, never read past the data or
// allocate without bound; what reads must write and read again to the same frames.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/extended/xcDib.h"
#include "controls/extended/xcGifStream.h"

namespace {

struct Sink : TGifFrameSink {
    std::vector<std::unique_ptr<TGifFrameRecord>> frames;
    std::unique_ptr<TGifFrameRecord> NewFrame() override {
        return std::make_unique<TGifFrameRecord>();
    }
    void AppendFrame(std::unique_ptr<TGifFrameRecord> f) override {
        frames.push_back(std::move(f));
    }
};

// Frames this large are valid but slow to decode under the sanitizers.
bool Small(const TGifImageRecord& image, const Sink& s) {
    if (uint64_t(image.ScreenWidth) * uint64_t(image.ScreenHeight) > (1u << 20)) return false;
    for (const auto& f : s.frames)
        if (uint64_t(f->Item->Width) * uint64_t(f->Item->Height) > (1u << 20)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool tolerate = size && (data[size - 1] & 1);
    TGifImageRecord image;
    Sink sink;
    try {
        ReadGifStream(data, size, image, sink, tolerate);
    } catch (const EInvalidGraphicOperation&) {}
    if (!Small(image, sink)) return 0;
    std::vector<TGifFrameRecord*> records;
    for (auto& f : sink.frames) {
        try {
            const std::string dib = DecodeGifFrameToDIB(*f, tolerate);
            const TDibImage img = ReadDIB(reinterpret_cast<const uint8_t*>(dib.data()), dib.size());
            if (img.Width != f->Item->Width || img.Height != f->Item->Height) std::abort();
            records.push_back(f.get());
        } catch (const EInvalidGraphicOperation&) {
        } catch (const EXCLException&) {
            if (f->Item->Width && f->Item->Height) std::abort();  // our own file images always read
        }
    }
    try {
        TGifComposer screen(image, tolerate);
        for (auto* f : records) screen.Draw(*f);
    } catch (const EInvalidGraphicOperation&) {}
    if (records.empty()) return 0;
    TMemoryStream out;
    try {
        WriteGifStream(out, image, records, false);
    } catch (const EInvalidGraphicOperation&) {
        return 0;
    }
    TGifImageRecord again;
    Sink back;
    ReadGifStream(out.Memory(), size_t(out.Size()), again, back, true);
    if (back.frames.size() != records.size()) std::abort();
    return 0;
}
