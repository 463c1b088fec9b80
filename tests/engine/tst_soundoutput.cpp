// The completion sound as it really reaches an audio server: a private PulseAudio daemon writes
// everything it is sent into a FIFO, and the samples are measured.
#include <QFile>
#include <QTest>

#include "engine/SoundManager.h"
#include "services/QtAudioPlayer.h"
#include "support/AiffReader.h"
#include "support/PrivatePulse.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
constexpr int kRate = PrivatePulse::kRate;
constexpr std::size_t kWindow = kRate / 200;  // 5 ms
constexpr double kQuiet = 0.004;              // of full scale; the clips fade out well under it

double peakOf(const std::vector<std::int16_t>& s, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    int loudest = 0;
    for (std::size_t i = from; i < std::min(to, s.size()); ++i)
        loudest = std::max(loudest, std::abs(int(s[i])));
    return loudest / 32768.0;
}

struct Burst {
    std::size_t start;
    double peak;
};
// Stretches of sound reaching `onset` after at least 20 ms of silence.
std::vector<Burst> findBursts(const std::vector<std::int16_t>& s, double onset) {
    std::vector<Burst> bursts;
    bool armed = true;
    int quiet = 0;
    for (std::size_t w = 0; w + kWindow <= s.size(); w += kWindow) {
        const double level = peakOf(s, w, w + kWindow);
        if (level < kQuiet) {
            armed = armed || ++quiet >= 4;
            continue;
        }
        quiet = 0;
        if (armed && level >= onset) bursts.push_back({w, 0});
        armed = armed && level < onset;
        if (!armed) bursts.back().peak = std::max(bursts.back().peak, level);
    }
    return bursts;
}
}  // namespace

class TestSoundOutput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!pulse_.start())
            QSKIP(qPrintable("NO SOUND CHECKED: a private PulseAudio daemon cannot run here (" +
                             pulse_.error() + ")"));
        const QString cache = cache_.path();
        manager_ = std::make_unique<SoundManager>(
            files_.storage, [cache] { return std::make_unique<QtAudioPlayer>(cache); });
        manager_->setSystemSoundFolders({});
        QVERIFY(pulse_.waitForSamples(kRate / 10, 5000));  // the sink is running
    }
    void cleanupTestCase() { pulse_.stop(); }

    void repeatedPlaysThreeTimesAtItsVolume() {
        QFile file(":/sounds/bell.aiff");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto clip = readAiff(file.readAll());
        QVERIFY(clip);
        const std::size_t from = pulse_.sampleCount();
        manager_->setGlobalVolume(0.8f);
        manager_->play(SoundConfig{"bell", 0.8f, AlertMode::Repeated, std::nullopt});
        QTRY_VERIFY_WITH_TIMEOUT(!manager_->isPlaying(), 20000);
        QVERIFY(pulse_.waitForSamples(pulse_.sampleCount() + kRate / 2, 5000));
        const auto bursts = findBursts(pulse_.samples(from), 0.03);
        QCOMPARE(bursts.size(), std::size_t(3));
        for (std::size_t i = 0; i < bursts.size(); ++i) {
            QVERIFY(qAbs(bursts[i].peak / peakOf(clip->samples) - 0.64) < 0.03);
            // Each play sounds the whole clip before the next begins.
            if (i > 0) QVERIFY(bursts[i].start - bursts[i - 1].start >= clip->frames * 0.95);
        }
    }

    void endlessSoundStopsForItsTimer() {
        const QUuid timer = QUuid::createUuid();
        const std::size_t from = pulse_.sampleCount();
        manager_->play(SoundConfig{"chime", 1.0f, AlertMode::LoopUntilDismissed, std::nullopt},
                       timer);
        // The 1.2 s clip starts over twice.
        QTRY_VERIFY_WITH_TIMEOUT(findBursts(pulse_.samples(from), 0.05).size() >= 3, 8000);
        manager_->stopSoundOf(QUuid::createUuid());
        QVERIFY(manager_->isPlaying());
        manager_->stopSoundOf(timer);
        QVERIFY(!manager_->isPlaying());
        // What the server had already taken in may drain for a moment; then silence for good.
        QVERIFY(pulse_.waitForSamples(pulse_.sampleCount() + kRate * 3 / 10, 5000));
        const std::size_t after = pulse_.sampleCount();
        QVERIFY(pulse_.waitForSamples(after + kRate, 5000));
        QVERIFY(peakOf(pulse_.samples(after)) < kQuiet);
    }

private:
    PrivatePulse pulse_;
    QTemporaryDir cache_;
    TempStorage files_;
    std::unique_ptr<SoundManager> manager_;
};

QTEST_GUILESS_MAIN(TestSoundOutput)
#include "tst_soundoutput.moc"
