// Prints how long a sound takes from play() to its first sample leaving the audio server, measured
// at a private PulseAudio daemon whose only sink is a FIFO read here. Target: 50 ms or less.
// Figures only; nothing here passes or fails.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "engine/SoundManager.h"
#include "services/QtAudioPlayer.h"
#include "storage/StorageManager.h"
#include "support/PrivatePulse.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
constexpr double kAudible = 0.01;  // of full scale

std::size_t firstSound(const std::vector<std::int16_t>& s, double level) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::abs(int(s[i])) >= level * 32768) return i;
    }
    return s.size();
}

// A mono 16-bit PCM WAV file of a sine tone.
bool writeSineWav(const QString& path, int rate, double seconds, double frequency, double peak) {
    const int frames = int(rate * seconds);
    QByteArray head, data(frames * 2, Qt::Uninitialized);
    for (int i = 0; i < frames; ++i) {
        const double v = peak * std::sin(2 * std::numbers::pi * frequency * i / rate);
        qToLittleEndian<qint16>(qint16(std::lround(v * 32767)), data.data() + 2 * i);
    }
    auto put = [&](quint32 v, int size) {
        char b[4];
        qToLittleEndian(v, b);
        head.append(b, size);
    };
    head += "RIFF";
    put(quint32(36 + data.size()), 4);
    head += "WAVEfmt ";
    for (const auto& [v, size] :
         {std::pair{16, 4}, {1, 2}, {1, 2}, {rate, 4}, {rate * 2, 4}, {2, 2}, {16, 2}})
        put(quint32(v), size);
    head += "data";
    put(quint32(data.size()), 4);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(head + data) == head.size() + data.size();
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(p * double(values.size() - 1) + 0.5);
    return values.at(std::min(index, values.size() - 1));
}

// Milliseconds from `start` being called to the first audible sample, or a negative value.
double latencyOf(PrivatePulse& pulse, SoundManager& manager, const std::function<void()>& start) {
    // Begin from silence so that the first loud sample is this sound's.
    manager.stop();
    std::size_t from = pulse.sampleCount();
    pulse.waitForSamples(from + PrivatePulse::kRate / 5, 3000);
    from = pulse.sampleCount();
    using Clock = std::chrono::steady_clock;
    const auto before = Clock::now();
    start();
    for (int waited = 0; waited < 3000; waited += 10) {
        pulse.waitForSamples(pulse.sampleCount() + PrivatePulse::kRate / 100, 1000);
        const auto seen = Clock::now();
        const auto samples = pulse.samples(from);
        const std::size_t first = firstSound(samples, kAudible);
        if (first < samples.size()) {
            // The sink is paced by the clock: what came after the first loud sample is how long
            // ago it was played.
            const double ago = double(samples.size() - first) / PrivatePulse::kRate;
            return std::chrono::duration<double, std::milli>(seen - before).count() - 1000 * ago;
        }
    }
    return -1;
}

void report(const char* what, const std::vector<double>& ms) {
    if (ms.empty()) return;
    std::printf("%-44s n=%-3zu min %6.1f  median %6.1f  p90 %6.1f  max %6.1f ms\n", what, ms.size(),
                *std::min_element(ms.begin(), ms.end()), percentile(ms, 0.5), percentile(ms, 0.9),
                *std::max_element(ms.begin(), ms.end()));
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    PrivatePulse pulse;
    if (!pulse.start()) {
        std::printf("bench_sound: no figures, a private PulseAudio daemon cannot run here: %s\n",
                    qPrintable(pulse.error()));
        return 0;
    }
    pulse.waitForSamples(PrivatePulse::kRate / 10, 5000);
    QTemporaryDir dir;
    StorageManager storage(dir.filePath("data"));
    const QString cache = dir.filePath("cache");
    SoundManager manager(storage, [cache] { return std::make_unique<QtAudioPlayer>(cache); });
    const auto complete = [&](const QString& name) {
        return [&manager, name] {
            manager.play(SoundConfig{name, 1.0f, AlertMode::OneShot, std::nullopt});
        };
    };

    std::printf("play() to the first sample at the audio server's output (target <= 50 ms)\n");
    report("first sound of the process (cold)", {latencyOf(pulse, manager, complete("bell"))});

    std::vector<double> warm;
    for (int i = 0; i < 20; ++i)
        warm.push_back(latencyOf(pulse, manager, complete(i % 2 ? "chime" : "bell")));
    report("built-in sound, played before", warm);

    // A new file each time, so nothing comes from the cache: 44.1 kHz 16-bit files are read
    // directly, 48 kHz ones go through the media backend.
    for (const int rate : {44100, 48000}) {
        std::vector<double> fresh;
        for (int i = 0; i < 10; ++i) {
            const QString path = dir.filePath(QStringLiteral("import-%1-%2.wav").arg(rate).arg(i));
            writeSineWav(path, rate, 0.5, 440 + 20 * i, 0.5);
            const QString name = manager.importCustomSound(path).value_or(QString());
            fresh.push_back(latencyOf(pulse, manager, complete(name)));
        }
        report(rate == 44100 ? "new custom sound, plain 44.1 kHz WAV"
                             : "new custom sound, 48 kHz WAV (media backend)",
               fresh);
    }

    std::vector<double> previews;
    for (int i = 0; i < 10; ++i) {
        previews.push_back(latencyOf(pulse, manager, [&] { manager.playPreview("gong"); }));
    }
    report("preview of a built-in sound", previews);
    manager.stop();
    return 0;
}
