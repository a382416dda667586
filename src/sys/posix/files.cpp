#include "sys/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

const char pathSeparator = '/';

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

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
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

}  // namespace

bool writeFileAtomic(const std::string& path, std::string_view content, bool /*text*/) {
    // A file that its owner made read-only is kept, as a plain open for
    // writing would refuse it; the rename alone would not.
    if (int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK); probe >= 0) {
        ::close(probe);
    } else if (errno != ENOENT) {
        return false;
    }
    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    // mkstemp makes the file private; the file it replaces keeps its own rights.
    bool ok = ::fchmod(fd, modeForNewFile(path)) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace sys
