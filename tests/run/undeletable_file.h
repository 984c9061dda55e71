// Makes one file impossible to delete, even for root, while the object lives.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tp::test {

class UndeletableFile {
public:
    explicit UndeletableFile(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDONLY);
        int flags = 0;
        if (fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            locked_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~UndeletableFile() {
        int flags = 0;
        if (locked_ && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
        }
        if (fd_ >= 0) ::close(fd_);
    }
    UndeletableFile(const UndeletableFile&) = delete;
    UndeletableFile& operator=(const UndeletableFile&) = delete;
    // False when the file system does not support it; the test should skip.
    bool locked() const { return locked_; }

private:
    int fd_ = -1;
    bool locked_ = false;
};

}  // namespace tp::test
