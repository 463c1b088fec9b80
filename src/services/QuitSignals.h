#pragma once

#include <QList>
#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <memory>

namespace larkspur {

// Turns termination signals into a Qt signal on the main thread, so that a signal runs the same
// quit path as the Quit command instead of killing the program mid-write.
class QuitSignals final : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    // SIGTERM, SIGINT and SIGHUP.
    static QList<int> defaultSignals();

    // Only one instance can be installed at a time, since a signal handler has no object to call.
    // Accepts only asynchronous signals whose default action ends the program; on any refusal
    // nothing is changed.
    bool install(const QList<int>& signalNumbers = defaultSignals());
    // Restores the handlers that were in place before install().
    void uninstall();
    bool isInstalled() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void quitRequested(int signal);

private:
    struct Previous {
        int signal;
        struct sigaction action;
    };

    void drain();
    void restoreHandlers();
    void closePipe();

    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    QList<Previous> previous_;
};

}  // namespace larkspur
