#include "app/globals.h"

#include "app/text_format.h"

#include <cstdarg>

namespace tp {

std::string g_lastError;
char g_transferBuffer[kTransferCapacity + 1];
std::size_t g_transferLength = 0;
std::uint32_t g_totalSize = 0;
bool g_autoRun = false;
bool g_debug = false;

void SetLastError(std::string_view text) {
    g_lastError.assign(text.substr(0, kLastErrorMax));
}

void SetLastErrorF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormat(format, args);
    va_end(args);
    SetLastError(text);
}

}  // namespace tp
