// The completion sound as it really reaches an audio server: a private PulseAudio daemon writes
// everything it is sent into a FIFO, and the samples are measured.
#include <QFile>
#include <QTest>

#include "engine/SoundManager.h"
#include "platform/QtAudioPlayer.h"
#include "support/AiffReader.h"
#include "support/PrivatePulse.h"
#include "support/SoundAnalysis.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
constexpr int kRate = PrivatePulse::kRate;
// Below this a window counts as silence; the clips' own tails fade to zero well under it.
constexpr double kQuiet = 0.004;
constexpr double kOnset = 0.05;

double peakOf(const std::vector<std::int16_t>& s) {
    int loudest = 0;
    for (const std::int16_t v : s) loudest = std::max(loudest, std::abs(int(v)));
    return loudest / 32768.0;
}
}  // namespace

class TestSoundOutput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { pulse_.stop(); }
    void repeatedCompletionPlaysThreeTimesAtItsVolume();
    void endlessSoundEndsWhenStopped_data();
    void endlessSoundEndsWhenStopped();

private:
    // Runs `start`, waits until the manager's sound is over and a little more, and returns
    // what reached the server meanwhile.
    std::vector<std::int16_t> capture(const std::function<void()>& start, int timeoutMs);

    PrivatePulse pulse_;
    QTemporaryDir cache_;
    TempStorage files_;
    std::unique_ptr<SoundManager> manager_;
};

void TestSoundOutput::initTestCase() {
    if (!pulse_.start())
        QSKIP(qPrintable("NO SOUND CHECKED: a private PulseAudio daemon cannot run here (" +
                         pulse_.error() + ")"));
    const QString cacheFolder = cache_.path();
    manager_ = std::make_unique<SoundManager>(
        files_.storage, [cacheFolder] { return std::make_unique<QtAudioPlayer>(cacheFolder); });
    manager_->setSystemSoundFolders({});
    QVERIFY(pulse_.waitForSamples(kRate / 10, 5000));  // the sink is running
}

std::vector<std::int16_t> TestSoundOutput::capture(const std::function<void()>& start,
                                                   int timeoutMs) {
    const std::size_t from = pulse_.sampleCount();
    start();
    if (!QTest::qWaitFor([&] { return !manager_->isPlaying(); }, timeoutMs)) return {};
    pulse_.waitForSamples(pulse_.sampleCount() + kRate / 2, 5000);
    return pulse_.samples(from);
}

void TestSoundOutput::repeatedCompletionPlaysThreeTimesAtItsVolume() {
    QFile file(":/sounds/bell.aiff");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto clip = readAiff(file.readAll());
    QVERIFY(clip);
    const double clipPeak = peakOf(clip->samples);

    // Reference: one play with every volume at 1.
    manager_->setGlobalVolume(1.0f);
    const auto reference = capture(
        [&] {
            manager_->play(SoundConfig{"bell", 1.0f, AlertMode::OneShot, std::nullopt});
        },
        10000);
    const auto one = findBursts(reference, kOnset, kQuiet);
    QCOMPARE(one.size(), std::size_t(1));
    const double referenceRms = rms(reference, one[0].start, kRate);
    qInfo("reference: peak %.4f (clip's own %.4f), rms %.4f, %.3f s", one[0].peak, clipPeak,
          referenceRms, double(one[0].end - one[0].start) / kRate);
    // The server passes the clip through unchanged at full volume.
    QVERIFY(qAbs(one[0].peak / clipPeak - 1.0) < 0.03);

    // The default master volume with a timer volume of 0.8, repeated.
    manager_->setGlobalVolume(0.8f);
    const auto repeated = capture(
        [&] {
            manager_->play(SoundConfig{"bell", 0.8f, AlertMode::Repeated, std::nullopt});
        },
        20000);
    const auto bursts = findBursts(repeated, kOnset * 0.64, kQuiet);
    for (const Burst& b : bursts) {
        qInfo("play at %.3f s for %.3f s: peak %.4f (x%.3f), rms x%.3f", double(b.start) / kRate,
              double(b.end - b.start) / kRate, b.peak, b.peak / one[0].peak,
              rms(repeated, b.start, kRate) / referenceRms);
    }
    QCOMPARE(bursts.size(), std::size_t(3));
    for (std::size_t i = 0; i < bursts.size(); ++i) {
        QVERIFY2(qAbs(bursts[i].peak / one[0].peak - 0.64) < 0.02, qPrintable(QString::number(i)));
        QVERIFY(qAbs(rms(repeated, bursts[i].start, kRate) / referenceRms - 0.64) < 0.02);
        // Each play sounds the whole clip before the next begins.
        if (i > 0) QVERIFY(bursts[i].start - bursts[i - 1].start >= clip->frames * 0.95);
    }
}

void TestSoundOutput::endlessSoundEndsWhenStopped_data() {
    QTest::addColumn<bool>("byTimer");
    QTest::newRow("stop()") << false;
    QTest::newRow("stopSoundOf(timer)") << true;
}

void TestSoundOutput::endlessSoundEndsWhenStopped() {
    QFETCH(bool, byTimer);
    manager_->setGlobalVolume(0.8f);
    const QUuid timer = QUuid::createUuid();
    const std::size_t from = pulse_.sampleCount();
    manager_->play(SoundConfig{"chime", 1.0f, AlertMode::LoopUntilDismissed, std::nullopt}, timer);
    // The 1.2 s clip starts over twice.
    QTRY_VERIFY_WITH_TIMEOUT(findBursts(pulse_.samples(from), kOnset, kQuiet).size() >= 3, 8000);
    QVERIFY(manager_->isPlaying());
    if (byTimer) {
        manager_->stopSoundOf(QUuid::createUuid());  // another timer's stop changes nothing
        QVERIFY(manager_->isPlaying());
        manager_->stopSoundOf(timer);
    } else {
        manager_->stop();
    }
    QVERIFY(!manager_->isPlaying());
    const auto stopAt = PrivatePulse::Clock::now();
    QVERIFY(pulse_.waitForSamples(pulse_.sampleCount() + kRate * 3 / 2, 5000));
    const auto samples = pulse_.samples(from);

    const auto bursts = findBursts(samples, kOnset, kQuiet);
    // What the server had already taken in may still drain; after that, silence for good.
    std::size_t stopIndex = samples.size();
    for (std::size_t i = 0; i < samples.size(); i += 64) {
        if (pulse_.timeOf(from + i) >= stopAt) {
            stopIndex = i;
            break;
        }
    }
    const std::size_t silentFrom = stopIndex + kRate * 3 / 10;
    QVERIFY(silentFrom + kRate / 2 < samples.size());
    const std::vector<std::int16_t> after(samples.begin() + std::ptrdiff_t(silentFrom),
                                          samples.end());
    qInfo("%zu plays began; last sound %.3f s after the stop", bursts.size(),
          double(std::ptrdiff_t(bursts.back().end) - std::ptrdiff_t(stopIndex)) / kRate);
    QVERIFY(peakOf(after) < kQuiet);
}

QTEST_GUILESS_MAIN(TestSoundOutput)
#include "tst_soundoutput.moc"
