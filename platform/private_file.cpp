#include "platform/private_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {

bool MakePrivateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool ReadFileNoFollow(const std::string& path, std::string& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    char chunk[65536];
    int error = 0;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        out.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    errno = error;
    return error == 0;
}

bool ReplacePrivateFile(const std::string& path, std::string_view bytes) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string tempPath = folder + "/.tidepost-XXXXXX";
    // mkstemp creates the file new (never through a link) with mode 0600.
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) return false;
    int error = 0;
    std::size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        else if (n == 0) error = EIO;
        else done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, 0600) != 0 && error == 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(tempPath.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempPath.c_str());
        errno = error;
    }
    return error == 0;
}

}  // namespace tp
