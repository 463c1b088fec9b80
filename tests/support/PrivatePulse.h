#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <csignal>
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
    static constexpr int kRate = 44100;

    ~PrivatePulse() { stop(); }

    // False with error() set when the daemon cannot be started here.
    bool start() {
        const QString fifo = dir_.filePath("sink"), socket = dir_.filePath("native");
        daemon_.setProcessChannelMode(QProcess::MergedChannels);
        // It never exits by itself, so it must not outlive a test that crashed or was killed.
        daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        // A private folder as its home and runtime folder. Without the system clock the sink
        // would run as fast as the FIFO is read.
        daemon_.start(
            "env",
            {"-u", "PULSE_SERVER", "HOME=" + dir_.path(), "XDG_RUNTIME_DIR=" + dir_.path(),
             "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--load=module-pipe-sink format=s16le rate=44100 channels=2 "
             "use_system_clock_for_timing=yes file=" +
                 fifo,
             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        if (!QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 10000) ||
            (fd_ = ::open(QFile::encodeName(fifo), O_RDONLY | O_NONBLOCK)) < 0) {
            error_ = "pulseaudio did not start: " + QString::fromLocal8Bit(daemon_.readAll());
            return false;
        }
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socket));
        reader_ = std::thread([this] { readLoop(); });
        return true;
    }

    QString error() const { return error_; }

    void stop() {
        running_ = false;
        if (reader_.joinable()) reader_.join();
        daemon_.kill();
        daemon_.waitForFinished();
    }

    // Left-channel samples captured so far.
    std::size_t sampleCount() const {
        std::lock_guard lock(mutex_);
        return samples_.size();
    }
    std::vector<std::int16_t> samples(std::size_t from = 0, std::size_t to = SIZE_MAX) const {
        std::lock_guard lock(mutex_);
        to = std::min(to, samples_.size());
        return {samples_.begin() + std::ptrdiff_t(std::min(from, to)),
                samples_.begin() + std::ptrdiff_t(to)};
    }
    // Waits, running the event loop, until `count` samples have been captured.
    bool waitForSamples(std::size_t count, int timeoutMs) const {
        return QTest::qWaitFor([&] { return sampleCount() >= count; }, timeoutMs);
    }

private:
    void readLoop() {
        char bytes[1 << 16];
        std::size_t held = 0;  // bytes of a frame cut by the previous read
        for (pollfd p{fd_, POLLIN, 0}; running_; p.revents = 0) {
            const ssize_t got = ::poll(&p, 1, 20) > 0 ? ::read(fd_, bytes + held, 65536 - held) : 0;
            const std::size_t end = (held += std::size_t(std::max<ssize_t>(got, 0))) / 4 * 4;
            std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i < end; i += 4)
                samples_.push_back(qFromLittleEndian<std::int16_t>(bytes + i));
            std::memmove(bytes, bytes + end, held -= end);
        }
        ::close(fd_);
    }

    QTemporaryDir dir_;
    QString error_;
    QProcess daemon_;
    int fd_ = -1;
    std::atomic<bool> running_ = true;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::vector<std::int16_t> samples_;
};

}  // namespace larkspur::test
