#include "platform/filesizesignal.h"

#include <csignal>

namespace FileSizeSignal {

void ignore()
{
    struct sigaction action;
    if (::sigaction(SIGXFSZ, nullptr, &action) == 0 && action.sa_handler == SIG_DFL) {
        action.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &action, nullptr);
    }
}

} // namespace FileSizeSignal
