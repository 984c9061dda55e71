#include "platform/exe_path.h"

#include <climits>
#include <unistd.h>

namespace tp {

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "./";
    std::string full(path, static_cast<std::size_t>(n));
    const std::size_t slash = full.rfind('/');
    return slash == std::string::npos ? std::string("./") : full.substr(0, slash + 1);
}

}  // namespace tp
