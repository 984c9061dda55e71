#include "platform/regular_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {
namespace {

int RefusalFor(mode_t mode) { return S_ISLNK(mode) ? kSymbolicLinkRefused : kNotRegularFileRefused; }

}  // namespace

int OpenRegularFileForWriting(const std::string& path, int flags, mode_t mode) {
    // O_NONBLOCK: opening a pipe for writing would otherwise wait for a reader.
    // O_TRUNC is applied only once the file is known to be regular.
    const int fd = ::open(path.c_str(), (flags & ~O_TRUNC) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) {
        // ELOOP is what O_NOFOLLOW answers for a link; ENXIO a pipe without a reader.
        struct stat info;
        if ((errno == ELOOP || errno == ENXIO) && ::lstat(path.c_str(), &info) == 0 &&
            !S_ISREG(info.st_mode)) {
            errno = RefusalFor(info.st_mode);
        }
        return -1;
    }
    struct stat info;
    int error = 0;
    if (::fstat(fd, &info) != 0) error = errno;
    else if (!S_ISREG(info.st_mode)) error = kNotRegularFileRefused;
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) error = errno;
    else if ((flags & O_TRUNC) && ::ftruncate(fd, 0) != 0) error = errno;
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool IsRegularFileOrAbsent(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT;
    if (S_ISREG(info.st_mode)) return true;
    errno = RefusalFor(info.st_mode);
    return false;
}

bool IsLinkLeavingFolder(const std::string& path, const std::string& folder) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return false;
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    if (ec) return true;
    const std::filesystem::path root = std::filesystem::canonical(folder, ec);
    if (ec) return true;
    // Component by component, so "/data2/x" is not inside "/data".
    auto t = target.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++t) {
        if (r->empty()) continue;  // the empty name after a trailing "/"
        if (t == target.end() || *t != *r) return true;
    }
    return false;
}

std::string FileErrorText(int error) {
    switch (error) {
    case kSymbolicLinkRefused: return "a symbolic link, which is not followed";
    case kNotRegularFileRefused: return "not a regular file";
    default: return std::strerror(error);
    }
}

}  // namespace tp
