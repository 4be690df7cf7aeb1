// SPDX-License-Identifier: MIT
// Word-list files on POSIX systems: refused before they could block, closed whatever happens.
#include "system/file_input.h"

#include "platform/text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::u16string systemReason(int error)
{
    return fromSystemUtf8(std::strerror(error));
}

class PosixInputFile final : public InputFile
{
public:
    explicit PosixInputFile(int fd)
        : m_fd(fd)
    {
    }
    ~PosixInputFile() override { ::close(m_fd); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    std::int64_t read(char* data, std::int64_t maxSize) override
    {
        for (;;) {
            const ssize_t got = ::read(m_fd, data, size_t(maxSize));
            if (got >= 0)
                return got;
            if (errno != EINTR)
                throw PlatformError{ErrorNumber::DeviceIo, systemReason(errno)};
        }
    }

private:
    int m_fd;
};

} // namespace

std::unique_ptr<InputFile> openFileForInput(const std::u16string& path)
{
    // Non-blocking, so that a FIFO without a writer cannot hang the open; it is refused below.
    const int fd = ::open(toSystemUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        int number = ErrorNumber::PathFileAccess;
        if (error == ENOENT || error == ENOTDIR)
            number = ErrorNumber::FileNotFound;
        else if (error == EACCES || error == EPERM)
            number = ErrorNumber::PermissionDenied;
        throw PlatformError{number, systemReason(error)};
    }
    struct stat info{};
    const bool described = ::fstat(fd, &info) == 0;
    if (!described || !S_ISREG(info.st_mode)) {
        std::u16string reason = u"Not a regular file";
        if (!described)
            reason = systemReason(errno);
        else if (S_ISDIR(info.st_mode))
            reason = systemReason(EISDIR);
        else if (S_ISFIFO(info.st_mode))
            reason = u"Is a FIFO, not a file";
        ::close(fd);
        throw PlatformError{ErrorNumber::PathFileAccess, reason};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<PosixInputFile>(fd);
}
