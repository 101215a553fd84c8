#include "platform/FileDigest.h"

#include <fcntl.h>
#include <unistd.h>
#include <xxhash.h>

#include <QFile>
#include <cerrno>
#include <memory>
#include <vector>

#include "platform/Err.h"

namespace bravel::fs {
namespace {

struct StateDeleter {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool fail() {
    Err.RaiseFromErrno(errno);
    return false;
}

}  // namespace

bool contentDigest(const QString& path, bool fromDevice, QByteArray& digest) {
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (file.get() < 0) return fail();
    return contentDigest(file.get(), fromDevice, digest);
}

bool contentDigest(int fd, bool fromDevice, QByteArray& digest) {
    if (fromDevice) {
        // Only clean pages can be dropped: the flush makes them clean.
        if (::fdatasync(fd) != 0) return fail();
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::unique_ptr<XXH3_state_t, StateDeleter> state(XXH3_createState());
    if (!state || XXH3_128bits_reset(state.get()) == XXH_ERROR) {
        Err.Raise(errnum::kOutOfMemory);
        return false;
    }
    std::vector<char> buffer(1 << 20);
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail();
        if (got == 0) break;
        XXH3_128bits_update(state.get(), buffer.data(), static_cast<size_t>(got));
        offset += got;
    }
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state.get()));
    digest = QByteArray(reinterpret_cast<const char*>(canonical.digest), sizeof(canonical.digest));
    return true;
}

}  // namespace bravel::fs
