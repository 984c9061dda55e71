// One download at a time per data folder: a cron run and the window's run would
// otherwise delete and write the same pages at once.
#pragma once

#include "platform/file_lock.h"

#include <string>

namespace tp {

class RunLock {
public:
    enum class Result { Held, Busy, Failed };

    // Takes the lock of the current data folder (GetExeFolder), on the folder
    // itself, without waiting. Busy: another run holds it, failure = "another
    // download is running in <folder>". Failed: the folder cannot be opened,
    // failure = "cannot lock <folder>: <system's reason>". The lock lasts until
    // Release or destruction.
    Result Acquire(std::string& failure);
    void Release() { lock_.Release(); }

private:
    FileLock lock_;
};

}  // namespace tp
