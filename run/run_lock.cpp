#include "run/run_lock.h"

#include "app/paths.h"

#include <cerrno>
#include <cstring>

namespace tp {

RunLock::Result RunLock::Acquire(std::string& failure) {
    std::string folder = GetExeFolder();
    const FileLock::State state = lock_.TryLock(folder);
    const int error = errno;
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    switch (state) {
    case FileLock::State::Held:
        failure.clear();
        return Result::Held;
    case FileLock::State::Busy:
        failure = "another download is running in " + folder;
        return Result::Busy;
    case FileLock::State::Failed:
        break;
    }
    failure = "cannot lock " + folder + ": " + std::strerror(error);
    return Result::Failed;
}

}  // namespace tp
