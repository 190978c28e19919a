// A whole file seen as read-only memory: mapped where the system can map it, read into a
// buffer otherwise. Only regular files are accepted. Raises EInOutError when the file cannot be
// read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class TMappedFile {
public:
    explicit TMappedFile(const std::string& fileName);
    ~TMappedFile();
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    std::string_view Data() const { return {data_, size_}; }

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    void* map_ = nullptr;  // set when data_ is a mapping
    std::string copy_;     // used when the file could not be mapped
};
