// Stored payloads of the styled layer: any bytes read as a compressed item, a plain item,
// a string list or a picture either give the payload or raise a stream error; nothing is
// read outside the input and nothing is allocated beyond what the input can justify.
#include <cstdint>
#include <cstdlib>

#include "controls/styled/lzrw.h"
#include "controls/styled/styStreamIO.h"
#include "controls/styled/styWave.h"

namespace {

void Load(TMemoryStream& s, const uint8_t* data, size_t size) {
    s.Clear();
    if (size) s.WriteBuffer(data, int64_t(size));
    s.SetPosition(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    TMemoryStream in;
    Load(in, data + 1, size - 1);
    try {
        switch (mode % 4) {
            case 0: {
                TMemoryStream out;
                ReadCompressedStream(in, out);
                // Each chunk gives at most one block of source bytes.
                if (out.Size() > int64_t(size / 5 + 1) * StyCompressBlockSize) std::abort();
                break;
            }
            case 1: {
                TMemoryStream out;
                ReadItemPayload(in, (mode & 4) != 0, out);
                break;
            }
            case 2: {
                TStringList list;
                ReadStringsFromStream(in, &list, (mode & 4) != 0);
                break;
            }
            default: {
                TStyWave wave;
                ReadWaveToStream(in, &wave, (mode & 4) != 0);
                break;
            }
        }
    } catch (const Exception&) {}
    if (in.Position() > in.Size()) std::abort();
    return 0;
}
