#pragma once

#include <sys/prctl.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fstream>
#include <vector>

namespace larkspur::test {

// A PulseAudio daemon of the test's own whose only output is a FIFO, copied by `cat` into a file
// that this object reads, so that what a player really sends to the audio server can be measured.
// The daemon paces its output with the system clock, so sample positions are times (44.1 kHz,
// stereo, s16le; the left channel is kept). Starting it points this process's PULSE_SERVER at it.
class PrivatePulse {
public:
    static constexpr int kRate = 44100;

    ~PrivatePulse() { stop(); }

    // False with error() set when the daemon cannot be started here.
    bool start() {
        const QString fifo = dir_.filePath("sink"), socket = dir_.filePath("native");
        // It never exits by itself, so it must not outlive a test that crashed; `cat` ends with it.
        daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        // A private folder as its home and runtime folder. Without the system clock the sink
        // would run as fast as the FIFO is read.
        daemon_.startCommand(
            QString("env -u PULSE_SERVER HOME=%1 XDG_RUNTIME_DIR=%1 pulseaudio -n --daemonize=no "
                    "--exit-idle-time=-1 --use-pid-file=no \"--load=module-pipe-sink format=s16le "
                    "rate=44100 channels=2 use_system_clock_for_timing=yes file=%2\" "
                    "\"--load=module-native-protocol-unix auth-anonymous=1 socket=%3\"")
                .arg(dir_.path(), fifo, socket));
        if (!QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 10000)) {
            error_ = "pulseaudio: " + daemon_.readAllStandardError();
            return false;
        }
        cat_.setStandardOutputFile(dir_.filePath("pcm"));
        cat_.start("cat", {fifo});
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socket));
        return cat_.waitForStarted();
    }

    QString error() const { return error_; }

    void stop() { daemon_.kill(), daemon_.waitForFinished(), cat_.waitForFinished(); }

    // Left-channel samples captured so far.
    std::size_t sampleCount() const { return QFileInfo(dir_.filePath("pcm")).size() / 4; }
    std::vector<std::int16_t> samples(std::size_t from = 0, std::size_t to = SIZE_MAX) const {
        std::ifstream file(QFile::encodeName(dir_.filePath("pcm")).toStdString(), std::ios::binary);
        file.seekg(std::streamoff(from) * 4);
        std::vector<std::int16_t> out;
        for (std::int16_t frame[2]; from++ < to && file.read(reinterpret_cast<char*>(frame), 4);)
            out.push_back(frame[0]);  // the host is little-endian
        return out;
    }
    // Waits, running the event loop, until `count` samples have been captured.
    bool waitForSamples(std::size_t count, int timeoutMs) const {
        return QTest::qWaitFor([&] { return sampleCount() >= count; }, timeoutMs);
    }

private:
    QTemporaryDir dir_;
    QString error_;
    QProcess daemon_, cat_;
};

}  // namespace larkspur::test
