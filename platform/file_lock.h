// An exclusive lock on a folder (flock), held while the object lives. The
// system releases it when the process ends in any way, so a crash never leaves
// it held. A folder, unlike a lock file, cannot be deleted from under its
// holder while it holds files, nor replaced by a fresh one that a second
// process could lock as well.
#pragma once

#include <string>

namespace tp {

class FileLock {
public:
    enum class State {
        Held,    // this object holds the lock
        Busy,    // another open file (another process) holds it
        Failed,  // the folder cannot be opened; errno tells why
    };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Tries the lock on the folder without waiting. Any lock this object held
    // before is released first.
    State TryLock(const std::string& folder);
    void Release();

private:
    int fd_ = -1;
};

}  // namespace tp
