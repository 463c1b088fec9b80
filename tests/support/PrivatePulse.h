#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace larkspur::test {

// A PulseAudio daemon of the test's own whose only output is a FIFO that this object reads, so
// that what a player really sends to the audio server can be measured. The daemon paces its
// output with the system clock, so sample positions are times (44.1 kHz, stereo, s16le; the
// left channel is kept). Starting it points this process's PULSE_SERVER at it.
class PrivatePulse {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kRate = 44100;

    PrivatePulse() = default;
    PrivatePulse(const PrivatePulse&) = delete;
    PrivatePulse& operator=(const PrivatePulse&) = delete;
    ~PrivatePulse() { stop(); }

    // False with error() set when the daemon cannot be started here.
    bool start() {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty()) return fail(QStringLiteral("no pulseaudio program on the PATH"));
        if (!dir_.isValid()) return fail(QStringLiteral("no temporary folder"));
        const QString home = dir_.filePath(QStringLiteral("home"));
        const QString runtime = dir_.filePath(QStringLiteral("run"));
        QDir().mkpath(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString fifo = dir_.filePath(QStringLiteral("sink.fifo"));
        socket_ = dir_.filePath(QStringLiteral("native"));
        if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
            return fail(QStringLiteral("cannot make the FIFO"));
        fd_ = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        if (fd_ < 0) return fail(QStringLiteral("cannot open the FIFO"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.remove(QStringLiteral("PULSE_SERVER"));
        daemon_.setProcessEnvironment(env);
        daemon_.setProcessChannelMode(QProcess::MergedChannels);
        // It never exits by itself, so it must not outlive a test that crashed or was killed.
        daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        daemon_.start(
            program,
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
             QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
             QStringLiteral("--use-pid-file=no"),
             QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") +
                 socket_,
             // Without the system clock the sink runs as fast as the FIFO is read.
             QStringLiteral("--load=module-pipe-sink file=%1 format=s16le rate=%2 "
                            "channels=2 use_system_clock_for_timing=yes")
                 .arg(fifo)
                 .arg(kRate)});
        if (!daemon_.waitForStarted(5000)) return fail(QStringLiteral("pulseaudio did not start"));
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(socket_)) {
            if (daemon_.state() != QProcess::Running || waited.elapsed() > 10000)
                return fail(QStringLiteral("pulseaudio gave up: ") +
                            QString::fromLocal8Bit(daemon_.readAll()).trimmed());
            QThread::msleep(20);
        }
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socket_));
        running_ = true;
        reader_ = std::thread([this] { readLoop(); });
        return true;
    }

    QString error() const { return error_; }

    void stop() {
        if (reader_.joinable()) {
            running_ = false;
            reader_.join();
        }
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            if (!daemon_.waitForFinished(3000)) {
                daemon_.kill();
                daemon_.waitForFinished(3000);
            }
        }
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    // Left-channel samples captured so far.
    std::size_t sampleCount() const {
        std::lock_guard lock(mutex_);
        return samples_.size();
    }
    std::vector<std::int16_t> samples(std::size_t from = 0, std::size_t to = SIZE_MAX) const {
        std::lock_guard lock(mutex_);
        to = std::min(to, samples_.size());
        if (from >= to) return {};
        return {samples_.begin() + std::ptrdiff_t(from), samples_.begin() + std::ptrdiff_t(to)};
    }
    // When the chunk holding sample `index` was read; nothing yet read gives Clock::time_point{}.
    Clock::time_point timeOf(std::size_t index) const {
        std::lock_guard lock(mutex_);
        for (const Mark& m : marks_) {
            if (index < m.end) return m.at;
        }
        return {};
    }
    // Waits, running the event loop, until `count` samples have been captured.
    bool waitForSamples(std::size_t count, int timeoutMs) const {
        QElapsedTimer waited;
        waited.start();
        while (sampleCount() < count) {
            if (waited.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(2);
        }
        return true;
    }

private:
    struct Mark {
        std::size_t end;  // one past the last sample of the chunk
        Clock::time_point at;
    };

    bool fail(const QString& why) {
        error_ = why;
        stop();
        return false;
    }

    void readLoop() {
        std::vector<std::int16_t> frame(8192);
        std::size_t pendingBytes = 0;
        while (running_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            auto* bytes = reinterpret_cast<char*>(frame.data());
            const ssize_t got = ::read(fd_, bytes + pendingBytes, frame.size() * 2 - pendingBytes);
            if (got <= 0) continue;
            const auto now = Clock::now();
            const std::size_t total = pendingBytes + std::size_t(got);
            const std::size_t frames = total / 4;  // two 16-bit channels
            {
                std::lock_guard lock(mutex_);
                for (std::size_t i = 0; i < frames; ++i) samples_.push_back(frame[2 * i]);
                marks_.push_back({samples_.size(), now});
            }
            pendingBytes = total - frames * 4;
            std::memmove(bytes, bytes + frames * 4, pendingBytes);
        }
    }

    QTemporaryDir dir_;
    QString socket_;
    QString error_;
    QProcess daemon_;
    int fd_ = -1;
    std::atomic<bool> running_ = false;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::vector<std::int16_t> samples_;
    std::vector<Mark> marks_;
};

}  // namespace larkspur::test
