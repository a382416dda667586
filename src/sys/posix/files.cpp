#include "sys/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "sys/env.h"
#include "sys/messages.h"

namespace sys {

const char pathSeparator = '/';
const bool pathsAreUtf8 = true;

bool fileExists(const std::string& path) {
    // Non-blocking, or a named pipe would hold us until someone writes to it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    // Only a regular file is one: a directory is none on Windows either, and
    // reading a named pipe or a device would wait for someone else.
    struct stat st;
    bool isFile = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return isFile;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool makeDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

namespace {

// The tests that kill a writer need the write to last long enough to be hit
// anywhere inside it: VSZEB_TEST_SLOW_WRITE (microseconds) makes each step of
// the write, and each byte of its content, take that long. Unset: no pause.
unsigned testPause() {
    static const auto pause =
        static_cast<unsigned>(std::strtoul(getEnv("VSZEB_TEST_SLOW_WRITE").c_str(), nullptr, 10));
    return pause;
}

// Always true, so that it can stand between the steps of a chain of them.
bool step() {
    if (testPause() > 0) ::usleep(testPause());
    return true;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        step();
        ssize_t n = ::write(fd, data.data(), testPause() > 0 ? 1 : data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

mode_t modeForNewFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file that a plain open for writing would write: a symbolic link is
// followed (a dangling one to the file it names), so that replacing the file
// updates the shared file rather than putting a copy in the link's place.
std::string linkTarget(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) return path;
        target.resize(static_cast<std::size_t>(n));
        if (target.front() != '/') {
            const std::size_t slash = path.rfind('/');
            if (slash != std::string::npos) target = path.substr(0, slash + 1) + target;
        }
        path = std::move(target);
    }
    return path;
}

std::optional<std::string> writeFault(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return std::string(msg::kAccessDenied);
    case EISDIR:
        return std::string(msg::kDirectoryInItsPlace);
    case ENOSPC:
    case EDQUOT:
        return std::string(msg::kDiskFull);
    case ENOENT:
    case ENOTDIR:
        return std::string(msg::kPathNotFound);
    default:
        return msg::otherWriteFault(std::strerror(error));
    }
}

bool flushFails = false;

bool flushToDisk(int fd) {
    if (flushFails) {
        errno = EIO;
        return false;
    }
    return ::fsync(fd) == 0;
}

}  // namespace

void failFileFlushForTests(bool fail) { flushFails = fail; }

std::optional<std::string> writeFileAtomicFault(const std::string& linkOrPath, std::string_view content,
                                                bool /*text*/) {
    const std::string path = linkTarget(linkOrPath);
    // A file that its owner made read-only is kept, as a plain open for
    // writing would refuse it; the rename alone would not.
    if (int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK); probe >= 0) {
        ::close(probe);
    } else if (errno != ENOENT) {
        return writeFault(errno);
    }
    std::string temp = path + ".XXXXXX";
    step();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return writeFault(errno);
    // mkstemp makes the file private; the file it replaces keeps its own rights.
    bool ok = step() && ::fchmod(fd, modeForNewFile(path)) == 0 && writeAll(fd, content) && step() &&
              flushToDisk(fd) && step();
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && !(step() && ::rename(temp.c_str(), path.c_str()) == 0)) {
        ok = false;
        error = errno;
    }
    if (!ok) ::unlink(temp.c_str());
    step();
    if (!ok) return writeFault(error);
    return std::nullopt;
}

}  // namespace sys
