#include "app/QuitOnSignal.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>

namespace tessaly {
namespace {

// The socket pair between the handler (which writes to the first) and the event loop (which reads the
// second). A signal handler can reach nothing but globals.
int gSockets[2] = {-1, -1};

}  // namespace

QuitOnSignal::QuitOnSignal() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSockets) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(gSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignal::Quit);
    struct sigaction action {};
    action.sa_handler = &QuitOnSignal::Handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t index = 0; index < kSignals.size(); ++index) {
        ::sigaction(kSignals[index], &action, &previous_[index]);
    }
}

QuitOnSignal::~QuitOnSignal() {
    if (notifier_ == nullptr) {
        return;
    }
    for (std::size_t index = 0; index < kSignals.size(); ++index) {
        ::sigaction(kSignals[index], &previous_[index], nullptr);
    }
    delete notifier_;
    ::close(gSockets[0]);
    ::close(gSockets[1]);
    gSockets[0] = gSockets[1] = -1;
}

void QuitOnSignal::Handle(int) {
    const char byte = 1;
    // Only what is safe in a signal handler; a full socket already holds a request to quit.
    [[maybe_unused]] const ssize_t written = ::write(gSockets[0], &byte, 1);
}

void QuitOnSignal::Quit() {
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(gSockets[1], &byte, 1);
    // As the window's close would: the application closes its windows, and its loop ends.
    QCoreApplication::quit();
}

}  // namespace tessaly
