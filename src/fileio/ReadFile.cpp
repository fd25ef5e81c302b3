#include "fileio/ReadFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strumox::fileio {

namespace {

FileRead failed(FileRead::Status status, int error, std::string reason)
{
    FileRead r;
    r.status = status;
    r.error = error;
    r.reason = std::move(reason);
    return r;
}

}  // namespace

FileRead readRegularFile(const std::string& path, std::size_t maxBytes)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT)
            return failed(FileRead::Status::Missing, e, std::strerror(e));
        return failed(FileRead::Status::Unreadable, e, std::strerror(e));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return failed(FileRead::Status::Unreadable, e, std::strerror(e));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed(FileRead::Status::NotRegular, 0, "not a regular file");
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        return failed(FileRead::Status::TooLarge, 0, "file too large");
    }
    FileRead r;
    r.status = FileRead::Status::Ok;
    r.bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            return failed(FileRead::Status::Unreadable, e, std::strerror(e));
        }
        if (n == 0)
            break;
        // A file that grows while we read must not take us past the limit either.
        if (r.bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            ::close(fd);
            return failed(FileRead::Status::TooLarge, 0, "file too large");
        }
        r.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return r;
}

}  // namespace strumox::fileio
