#include "TerminationSignals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace zemvalkorta {

namespace {

int descriptor = -1;

sigset_t Requests() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

bool BlockTerminationSignals() {
    if (descriptor >= 0) return true;
    const sigset_t set = Requests();
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return false;
    descriptor = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (descriptor < 0) {
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return false;
    }
    return true;
}

int TerminationSignalDescriptor() { return descriptor; }

int TakeTerminationSignal() {
    if (descriptor < 0) return 0;
    signalfd_siginfo information{};
    for (;;) {
        const ssize_t got = ::read(descriptor, &information, sizeof information);
        if (got == static_cast<ssize_t>(sizeof information)) return static_cast<int>(information.ssi_signo);
        if (got < 0 && errno == EINTR) continue;
        return 0;
    }
}

}  // namespace zemvalkorta
