// An exclusive lock on a file (flock), held while the object lives. The system
// releases it when the process ends in any way, so a crash never leaves it held.
#pragma once

#include <string>

namespace tp {

class FileLock {
public:
    enum class State {
        Held,    // this object holds the lock
        Busy,    // another open file (another process) holds it
        Failed,  // the file cannot be opened; errno tells why
    };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Creates the file when it is missing and tries the lock without waiting.
    // Any lock this object held before is released first.
    State TryLock(const std::string& path);
    void Release();

private:
    int fd_ = -1;
};

}  // namespace tp
