#include "platform/rtl/mappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/rtl/sysutils.h"

TMappedFile::TMappedFile(const std::string& fileName) {
    // Not blocking: opening a pipe would wait for a writer before the check below.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) RaiseInOutError(errno, fileName);
    struct stat st {};
    const bool statted = ::fstat(fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        // Only regular files: a pipe or a device could hold the reader for ever.
        const int err = !statted ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        RaiseInOutError(err, fileName);
    }
    if (st.st_size > 0) {
        // Mapped rather than copied: a scan then runs at the speed of memory.
        void* map =
            ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (map != MAP_FAILED) {
            ::close(fd);
            map_ = map;
            data_ = static_cast<const char*>(map);
            size_ = size_t(st.st_size);
            return;
        }
    }
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            RaiseInOutError(err, fileName);
        }
        if (n == 0) break;
        copy_.append(buf, size_t(n));
    }
    ::close(fd);
    data_ = copy_.data();
    size_ = copy_.size();
}

TMappedFile::~TMappedFile() {
    if (map_) ::munmap(map_, size_);
}
