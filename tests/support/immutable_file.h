// Marks a file immutable while the object lives: the one way to make deleting
// or replacing it fail for root as well.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tp::test {

class ImmutableFile {
public:
    explicit ImmutableFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
        if (fd_ < 0) return;
        int flags = 0;
        if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return;
        flags |= FS_IMMUTABLE_FL;
        set_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ~ImmutableFile() {
        if (set_) {
            int flags = 0;
            ::ioctl(fd_, FS_IOC_GETFLAGS, &flags);
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
        }
        if (fd_ >= 0) ::close(fd_);
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    // False when the file system cannot do it; the test should then skip.
    bool set() const { return set_; }

private:
    int fd_;
    bool set_ = false;
};

}  // namespace tp::test
