// SPDX-License-Identifier: MIT
// Word-list files: refused before they could block, closed whatever happens.
#include "platform/file_input.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
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

    qint64 read(char* data, qint64 maxSize) override
    {
        for (;;) {
            const ssize_t got = ::read(m_fd, data, size_t(maxSize));
            if (got >= 0)
                return got;
            if (errno != EINTR)
                throw PlatformError{ErrorNumber::DeviceIo, qt_error_string(errno)};
        }
    }

private:
    int m_fd;
};
#else
class QFileInputFile final : public InputFile
{
public:
    explicit QFileInputFile(const QString& path)
        : m_file(path)
    {
    }
    bool open() { return m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    QString errorString() const { return m_file.errorString(); }
    qint64 read(char* data, qint64 maxSize) override
    {
        const qint64 got = m_file.read(data, maxSize);
        if (got < 0)
            throw PlatformError{ErrorNumber::DeviceIo, m_file.errorString()};
        return got;
    }

private:
    QFile m_file;
};
#endif

} // namespace

std::unique_ptr<InputFile> openFileForInput(const QString& path)
{
#ifdef Q_OS_UNIX
    // Non-blocking, so that a FIFO without a writer cannot hang the open; it is refused below.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        int number = ErrorNumber::PathFileAccess;
        if (error == ENOENT || error == ENOTDIR)
            number = ErrorNumber::FileNotFound;
        else if (error == EACCES || error == EPERM)
            number = ErrorNumber::PermissionDenied;
        throw PlatformError{number, qt_error_string(error)};
    }
    struct stat info{};
    const bool described = ::fstat(fd, &info) == 0;
    if (!described || !S_ISREG(info.st_mode)) {
        QString reason = QStringLiteral("Not a regular file");
        if (!described)
            reason = qt_error_string(errno);
        else if (S_ISDIR(info.st_mode))
            reason = qt_error_string(EISDIR);
        else if (S_ISFIFO(info.st_mode))
            reason = QStringLiteral("Is a FIFO, not a file");
        ::close(fd);
        throw PlatformError{ErrorNumber::PathFileAccess, reason};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<PosixInputFile>(fd);
#else
    const QFileInfo info(path);
    if (!info.exists())
        throw PlatformError{ErrorNumber::FileNotFound, QStringLiteral("File not found")};
    if (!info.isFile())
        throw PlatformError{ErrorNumber::PathFileAccess, QStringLiteral("Not a regular file")};
    auto file = std::make_unique<QFileInputFile>(path);
    if (!file->open())
        throw PlatformError{ErrorNumber::PermissionDenied, file->errorString()};
    return file;
#endif
}
