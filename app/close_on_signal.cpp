#include "close_on_signal.h"

#include <QWidget>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Ctrl-C, a service stop, the terminal or session going away, Ctrl-\.
constexpr int kClosingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

sigset_t closingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int number : kClosingSignals) {
        sigaddset(&set, number);
    }
    return set;
}

void onTerminatingSignal(int) {
    const char byte = 1;
    // Nothing useful to do if the pipe is full: a close is already queued.
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

}  // namespace

void holdClosingSignals() {
    const sigset_t set = closingSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

CloseOnSignal::CloseOnSignal(QWidget& window) : window_(window) {
    const sigset_t held = closingSignals();
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
        return;
    }
    ::fcntl(signalPipe[0], F_SETFL, O_NONBLOCK);
    ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CloseOnSignal::onSignal);

    struct sigaction action = {};
    action.sa_handler = onTerminatingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kClosingSignals) {
        ::sigaction(number, &action, nullptr);
    }
    // A signal that came while the program was starting is handled now.
    ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
}

CloseOnSignal::~CloseOnSignal() {
    if (notifier_ == nullptr) {
        return;
    }
    for (const int number : kClosingSignals) {
        std::signal(number, SIG_DFL);
    }
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
}

void CloseOnSignal::onSignal() {
    char buffer[16];
    while (::read(signalPipe[1], buffer, sizeof buffer) > 0) {
    }
    window_.close();
}

#else

void holdClosingSignals() {}
CloseOnSignal::CloseOnSignal(QWidget& window) : window_(window) {}
CloseOnSignal::~CloseOnSignal() = default;
void CloseOnSignal::onSignal() {}

#endif
