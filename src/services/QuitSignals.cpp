#include "services/QuitSignals.h"

#include <QPointer>

#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>

namespace larkspur {

namespace {

// The handler may only touch lock-free state; the write end is the one thing it needs.
std::atomic<int> gWriteFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void writeSignalByte(int signal) {
    const int savedErrno = errno;
    const int fd = gWriteFd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        // A full pipe already holds a pending quit request, so a lost byte is harmless.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

bool isQuitLike(int signal) {
    switch (signal) {
        case SIGHUP:
        case SIGINT:
        case SIGQUIT:
        case SIGTERM:
        case SIGUSR1:
        case SIGUSR2:
        case SIGALRM:
            return true;
        default:
            return false;
    }
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {}

QuitSignals::~QuitSignals() {
    uninstall();
}

QList<int> QuitSignals::defaultSignals() {
    return {SIGTERM, SIGINT, SIGHUP};
}

bool QuitSignals::install(const QList<int>& signalNumbers) {
    if (isInstalled() || signalNumbers.isEmpty()) return false;
    for (int signal : signalNumbers)
        if (!isQuitLike(signal)) return false;

    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    int expected = -1;
    if (!gWriteFd.compare_exchange_strong(expected, fds[1])) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    fds_[0] = fds[0];
    fds_[1] = fds[1];

    struct sigaction action = {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : signalNumbers) {
        if (std::any_of(previous_.cbegin(), previous_.cend(),
                        [signal](const Previous& p) { return p.signal == signal; }))
            continue;
        Previous previous{signal, {}};
        if (::sigaction(signal, &action, &previous.action) != 0) {
            restoreHandlers();
            closePipe();
            return false;
        }
        previous_.append(previous);
    }

    notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &QuitSignals::drain);
    return true;
}

void QuitSignals::uninstall() {
    if (!isInstalled()) return;
    notifier_.reset();
    restoreHandlers();
    closePipe();
}

void QuitSignals::restoreHandlers() {
    for (const Previous& previous : std::as_const(previous_))
        ::sigaction(previous.signal, &previous.action, nullptr);
    previous_.clear();
}

void QuitSignals::closePipe() {
    gWriteFd.store(-1);
    for (int& fd : fds_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void QuitSignals::drain() {
    QList<int> received;
    unsigned char bytes[64];
    for (;;) {
        const ssize_t n = ::read(fds_[0], bytes, sizeof bytes);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            break;
        }
        for (ssize_t i = 0; i < n; ++i) received.append(bytes[i]);
    }
    // A receiver may delete this object while quitting.
    QPointer<QuitSignals> self(this);
    for (int signal : std::as_const(received)) {
        if (!self) return;
        Q_EMIT quitRequested(signal);
    }
}

}  // namespace larkspur
