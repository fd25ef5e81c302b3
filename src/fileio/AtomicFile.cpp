#include "fileio/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strumox::fileio {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int error)
{
    // generic_category's message is strerror's text: "cannot write X: No space left on device".
    throw std::system_error(error, std::generic_category(), what + " " + path);
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool entryExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;  // a dangling link still counts: it is the user's
}

std::string parentDirectory(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The final target of a chain of symbolic links (path itself when it is no link, or is missing).
// A relative link text counts from the directory holding the link, as the kernel reads it.
std::string finalTarget(const std::string& path)
{
    constexpr int kMaxLinks = 40;  // the kernel's own limit for one path lookup
    std::string current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::vector<char> text(static_cast<std::size_t>(std::max<off_t>(st.st_size, PATH_MAX)) + 1);
        const ssize_t n = ::readlink(current.c_str(), text.data(), text.size());
        if (n < 0)
            fail("cannot replace", path, errno);
        const std::string link(text.data(), static_cast<std::size_t>(n));
        if (link.starts_with('/'))
            current = link;
        else {
            const std::string dir = parentDirectory(current);
            current = dir.ends_with('/') ? dir + link : dir + "/" + link;
        }
    }
    fail("cannot replace", path, ELOOP);
}

// Refuses to replace a regular file its owner has marked read-only or the caller may not write.
void checkReplaceable(const std::string& target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;  // nothing to replace yet, or something rename() itself refuses
    if ((st.st_mode & S_IWUSR) == 0)
        fail("cannot replace", target, EACCES);
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        fail("cannot replace", target, errno);
}

// Writes path + ".tmp" whole and on the disk, and returns its name.
std::string writeTemporary(const std::string& path, std::string_view bytes)
{
    const std::string temp = path + ".tmp";
    // A leftover from an interrupted run must not stop us; O_EXCL below then refuses to write
    // through anything else (a link, a directory) that sits at the temporary name.
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("cannot create", temp, errno);

    // A user who made the file private (or shared) expects it to stay so after a rewrite.
    struct stat old {};
    bool ok = true;
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        fail("cannot write", temp, error);
    }
    return temp;
}

}  // namespace

void writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes)
{
    writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void writeFileAtomically(const std::string& path, std::string_view bytes)
{
    const std::string target = finalTarget(path);
    checkReplaceable(target);
    const std::string temp = writeTemporary(target, bytes);
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        fail("cannot replace", target, error);
    }
    // Make the rename itself survive a power cut; the file is already complete either way.
    const int dir = ::open(parentDirectory(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// The final step is link(), which refuses to replace an existing file, so a file the user (or a
// running program) creates while we write survives; rename() would silently overwrite it.
bool createFileIfMissing(const std::string& path, std::string_view bytes)
{
    if (entryExists(path))
        return false;

    const std::string temp = writeTemporary(path, bytes);
    if (::link(temp.c_str(), path.c_str()) == 0) {
        ::unlink(temp.c_str());
        return true;
    }
    int error = errno;
    if (error == EEXIST) {
        ::unlink(temp.c_str());
        return false;
    }
    // Some file systems have no hard links; there a last look and a rename is the best we have.
    if (error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS) {
        if (entryExists(path)) {
            ::unlink(temp.c_str());
            return false;
        }
        if (::rename(temp.c_str(), path.c_str()) == 0)
            return true;
        error = errno;
    }
    ::unlink(temp.c_str());
    fail("cannot create", path, error);
}

}  // namespace strumox::fileio
