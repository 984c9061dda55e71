#include "platform/write_signals.h"

#include <csignal>

namespace tp {

void IgnoreWriteSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace tp
