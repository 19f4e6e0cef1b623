#include "stop_signals.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

namespace veltro::pty {

namespace {

int writeEnd = -1;

void onSignal(int) {
    const char byte = 1;
    (void)!::write(writeEnd, &byte, 1);
}

}  // namespace

int stopSignalPipe() {
    int ends[2] = {-1, -1};
    if (::pipe(ends) != 0) {
        return -1;
    }
    writeEnd = ends[1];
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(sig, &action, nullptr);
    }
    signal(SIGPIPE, SIG_IGN);
    return ends[0];
}

}  // namespace veltro::pty
