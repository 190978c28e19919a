#include "engine/progressWatch.h"

#include <filesystem>
#include <system_error>

#include "platform/rtl/gsArgs.h"
#include "platform/rtl/noProgressLimit.h"

namespace fs = std::filesystem;

namespace {

// FNV-1a over the bytes of a value: the fingerprint changes with any name or size.
void Mix(uint64_t& h, const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 1099511628211ULL;
    }
}

void MixFile(uint64_t& h, const fs::path& path) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    const uint64_t value = ec ? UINT64_MAX : uint64_t(size);
    Mix(h, &value, sizeof value);
}

}  // namespace

TProgressWatch::TProgressWatch(std::vector<std::string> files, std::vector<std::string> folders)
    : files_(std::move(files)), folders_(std::move(folders)) {
    seen_ = Fingerprint();
    since_ = Clock::now();
}

uint64_t TProgressWatch::Fingerprint() const {
    uint64_t h = 14695981039346656037ULL;
    for (const std::string& f : files_) MixFile(h, f);
    for (const std::string& folder : folders_) {
        std::error_code ec;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied,
                                            ec);
        for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const std::string name = it->path().string();
            Mix(h, name.data(), name.size());
            std::error_code typeError;
            if (it->is_regular_file(typeError)) MixFile(h, it->path());
        }
    }
    return h;
}

bool TProgressWatch::Stalled(std::chrono::milliseconds limit) {
    const uint64_t now = Fingerprint();
    if (now != seen_) {
        seen_ = now;
        since_ = Clock::now();
        return false;
    }
    return LimitPassed(since_, Clock::now(), limit);
}

void TProgressWatch::AddGhostscriptOutputs(const std::string& params,
                                           std::vector<std::string>& files,
                                           std::vector<std::string>& folders) {
    static const std::string kOut = "-sOutputFile=";
    for (const std::string& arg : GsTokenize(params)) {
        if (arg.compare(0, kOut.size(), kOut) != 0) continue;
        const std::string name = arg.substr(kOut.size());
        if (name.find('%') == std::string::npos) {
            files.push_back(name);
        } else {
            const size_t slash = name.rfind('/');
            if (slash != std::string::npos) folders.push_back(name.substr(0, slash + 1));
        }
    }
}
