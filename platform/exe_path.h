// Where the running executable lives.
#pragma once

#include <string>

namespace tp {

// The folder of /proc/self/exe, ending in "/"; "./" when it cannot be read.
std::string ExecutableFolder();

}  // namespace tp
