// Process-wide values shared by every step of a download run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tp {

// Longest error text kept, in characters (the 1,024-byte buffer less its zero).
inline constexpr std::size_t kLastErrorMax = 1023;
// Bytes of body kept from one fetch; the buffer holds one more for the zero byte.
inline constexpr std::size_t kTransferCapacity = 81920;
// Size of the scratch text shared by the extractors and page builders.
inline constexpr std::size_t kScratchCapacity = 51200;

// Reason of the last failure of any file, network, extraction or page step.
// Nothing clears it; write it through SetLastError so it never passes its limit.
extern std::string g_lastError;
void SetLastError(std::string_view text);
// printf-style, for the program's own formats only (never user text as format).
void SetLastErrorF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The last fetched body (or a composed page), always followed by a zero byte.
extern char g_transferBuffer[kTransferCapacity + 1];
// Number of body bytes in g_transferBuffer after the last successful fetch.
extern std::size_t g_transferLength;

// Bytes of the pages written in the current run (line feeds counted once).
extern std::uint32_t g_totalSize;

// "/autorun" was on the command line.
extern bool g_autoRun;
// "Debug"/"On" of the settings file.
extern bool g_debug;

}  // namespace tp
