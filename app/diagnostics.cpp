#include "app/diagnostics.h"

#include <utility>

namespace tp {
namespace {

constexpr std::size_t kMaxPendingLines = 64;

std::vector<std::string> g_pendingDiagnostics;

}  // namespace

void NoteDiagnostic(std::string line) {
    if (g_pendingDiagnostics.size() < kMaxPendingLines) g_pendingDiagnostics.push_back(std::move(line));
}

std::vector<std::string> TakeDiagnostics() { return std::exchange(g_pendingDiagnostics, {}); }

}  // namespace tp
