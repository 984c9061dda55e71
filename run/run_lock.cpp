#include "run/run_lock.h"

#include "app/paths.h"

#include <cerrno>
#include <cstring>

namespace tp {

RunLock::Result RunLock::Acquire(std::string& failure) {
    std::string folder = GetExeFolder();
    const std::string path = folder + kRunLockFileName;
    switch (lock_.TryLock(path)) {
    case FileLock::State::Held:
        failure.clear();
        return Result::Held;
    case FileLock::State::Busy:
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        failure = "another download is running in " + folder;
        return Result::Busy;
    case FileLock::State::Failed:
        break;
    }
    failure = "cannot lock " + path + ": " + std::strerror(errno);
    return Result::Failed;
}

}  // namespace tp
