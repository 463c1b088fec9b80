#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include "platform/PcmDecoder.h"
#include "platform/ResourceFileCache.h"
#include "support/AiffReader.h"
#include "support/WavWriter.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
constexpr int kDeadlineMs = 10000;

qint16 sampleAt(const QByteArray& pcm, qsizetype frame, int channel) {
    return qFromLittleEndian<qint16>(pcm.constData() + frame * 4 + channel * 2);
}

int peakOf(const QByteArray& pcm) {
    int peak = 0;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2)
        peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(pcm.constData() + i))));
    return peak;
}

// Decodes `path` and gives the PCM, or nothing after a failure.
std::optional<QByteArray> decode(const QString& path, int limitSeconds = PcmDecoder::kMaxSeconds) {
    PcmDecoder decoder;
    decoder.setLimitSeconds(limitSeconds);
    QSignalSpy done(&decoder, &PcmDecoder::decoded);
    QSignalSpy failed(&decoder, &PcmDecoder::failed);
    decoder.start(path);
    if (!QTest::qWaitFor([&] { return done.count() + failed.count() > 0; }, kDeadlineMs))
        return std::nullopt;
    if (failed.count() > 0) return std::nullopt;
    return done.at(0).at(0).toByteArray();
}
}  // namespace

class TestPcmDecoder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decodesOurClipsExactly_data();
    void decodesOurClipsExactly();
    void plainFilesAreReadAtOnce_data();
    void plainFilesAreReadAtOnce();
    void resamplesAndSpreadsMono();
    void decodesThemeSounds();
    void cacheAnswersAtOnceUntilTheFileChanges();
    void refusesWhatIsNotAudio_data();
    void refusesWhatIsNotAudio();
    void longSoundsAreCut_data();
    void longSoundsAreCut();
    void cancelledDecoderStaysQuiet();

private:
    QTemporaryDir dir_;
};

void TestPcmDecoder::decodesOurClipsExactly_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("bell") << "bell";
    QTest::newRow("beep") << "beep";
}

void TestPcmDecoder::decodesOurClipsExactly() {
    QFETCH(QString, name);
    const QUrl copy = playableUrl(QUrl("qrc:/sounds/" + name + ".aiff"), dir_.path());
    QVERIFY(copy.isLocalFile());
    QFile file(copy.toLocalFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto clip = readAiff(file.readAll());
    QVERIFY(clip);
    QCOMPARE(clip->channels, 1);
    const auto pcm = decode(copy.toLocalFile());
    QVERIFY(pcm);
    QCOMPARE(pcm->size(), qsizetype(clip->frames) * 4);
    for (qsizetype i = 0; i < qsizetype(clip->frames); ++i) {
        if (sampleAt(*pcm, i, 0) != clip->samples[i] || sampleAt(*pcm, i, 1) != clip->samples[i])
            QFAIL(qPrintable(QStringLiteral("frame %1 differs").arg(i)));
    }
}

void TestPcmDecoder::plainFilesAreReadAtOnce_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("plain");
    QTest::newRow("16-bit mono 44.1 kHz") << sineWav(44100, 0.2, 440, 0.5) << true;
    QTest::newRow("16-bit stereo 44.1 kHz") << sineWav(44100, 0.2, 440, 0.5, 2) << true;
    QTest::newRow("48 kHz") << sineWav(48000, 0.2, 440, 0.5) << false;
    QTest::newRow("8-bit") << sineWav(44100, 0.2, 440, 0.5, 1, 8) << false;
}

void TestPcmDecoder::plainFilesAreReadAtOnce() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, plain);
    const QString path = dir_.filePath(QString("plain-%1.wav").arg(QTest::currentDataTag()));
    QVERIFY(writeFile(path, bytes));
    PcmDecoder decoder;
    QSignalSpy done(&decoder, &PcmDecoder::decoded);
    QSignalSpy failed(&decoder, &PcmDecoder::failed);
    decoder.start(path);
    // Only the plain ones skip the media backend; the others still decode, later.
    QCOMPARE(done.count(), plain ? 1 : 0);
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, kDeadlineMs);
    QCOMPARE(failed.count(), 0);
    const QByteArray pcm = done.at(0).at(0).toByteArray();
    QVERIFY2(qAbs(pcm.size() / 4 - 8820) < 50, qPrintable(QString::number(pcm.size() / 4)));
    QVERIFY(qAbs(peakOf(pcm) / 32767.0 - 0.5) < 0.03);
    if (plain) {
        // Exactly the file's samples, the mono ones in both channels.
        const auto* data = bytes.constData() + 44;
        const int channels = bytes.at(22);
        for (qsizetype f = 0; f < pcm.size() / 4; f += 101) {
            const qint16 left = qFromLittleEndian<qint16>(data + f * channels * 2);
            QCOMPARE(sampleAt(pcm, f, 0), left);
            QCOMPARE(sampleAt(pcm, f, 1), left);
        }
    }
}

void TestPcmDecoder::resamplesAndSpreadsMono() {
    const QString path = dir_.filePath("tone.wav");
    QVERIFY(writeFile(path, sineWav(22050, 0.5, 440, 0.5)));
    const auto pcm = decode(path);
    QVERIFY(pcm);
    const qsizetype frames = pcm->size() / 4;
    QVERIFY2(qAbs(frames - 22050) < 100, qPrintable(QString::number(frames)));
    QVERIFY(qAbs(peakOf(*pcm) / 32767.0 - 0.5) < 0.03);
    for (qsizetype i = 0; i < frames; i += 997)
        QCOMPARE(sampleAt(*pcm, i, 0), sampleAt(*pcm, i, 1));
}

void TestPcmDecoder::decodesThemeSounds() {
    const QString path = "/usr/share/sounds/freedesktop/stereo/complete.oga";
    if (!QFile::exists(path)) QSKIP("the freedesktop sound theme is not installed");
    const auto pcm = decode(path);
    QVERIFY(pcm);
    QVERIFY(pcm->size() > 44100);  // over a quarter of a second
}

void TestPcmDecoder::cacheAnswersAtOnceUntilTheFileChanges() {
    // 22.05 kHz goes through the media backend.
    const QString path = dir_.filePath("cached.wav");
    QVERIFY(writeFile(path, sineWav(22050, 0.3, 660, 0.4)));
    const auto first = decode(path);
    QVERIFY(first);
    PcmDecoder again;
    QSignalSpy done(&again, &PcmDecoder::decoded);
    again.start(path);
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toByteArray(), *first);

    QVERIFY(writeFile(path, sineWav(22050, 0.4, 660, 0.2)));
    PcmDecoder changed;
    QSignalSpy changedDone(&changed, &PcmDecoder::decoded);
    changed.start(path);
    QCOMPARE(changedDone.count(), 0);
    QVERIFY(changedDone.wait(kDeadlineMs));
    const QByteArray fresh = changedDone.at(0).at(0).toByteArray();
    QVERIFY(qAbs(fresh.size() / 4 - 17640) < 50);
    QVERIFY(qAbs(peakOf(fresh) / 32767.0 - 0.2) < 0.01);
}

void TestPcmDecoder::refusesWhatIsNotAudio_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("noise named wav") << "noise.wav" << QByteArray(4000, '\x5a');
    QTest::newRow("text named mp3")
        << "note.mp3" << QByteArray("this is a shopping list\n").repeated(50);
    QTest::newRow("empty") << "empty.aiff" << QByteArray();
    QTest::newRow("header only") << "cut.aiff"
                                 << QByteArray(
                                        "FORM\0\0\0\x04"
                                        "AIFF",
                                        12);
    QTest::newRow("missing") << "missing.wav" << QByteArray("-");
    // The backend finds no way to turn three channels without a layout into stereo.
    QTest::newRow("three channels, no layout") << "three.wav" << sineWav(22050, 0.2, 440, 0.5, 3);
}

void TestPcmDecoder::refusesWhatIsNotAudio() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    const QString path = dir_.filePath(fileName);
    if (bytes != "-") QVERIFY(writeFile(path, bytes));
    PcmDecoder decoder;
    QSignalSpy done(&decoder, &PcmDecoder::decoded);
    QSignalSpy failed(&decoder, &PcmDecoder::failed);
    decoder.start(path);
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kDeadlineMs);
    QVERIFY(!failed.at(0).at(0).toString().isEmpty());
    QCOMPARE(done.count(), 0);
}

void TestPcmDecoder::longSoundsAreCut_data() {
    QTest::addColumn<int>("rate");
    QTest::newRow("plain file") << 44100;
    QTest::newRow("through the backend") << 22050;
}

void TestPcmDecoder::longSoundsAreCut() {
    QFETCH(int, rate);
    const QString path = dir_.filePath(QString("long-%1.wav").arg(rate));
    QVERIFY(writeFile(path, sineWav(rate, 3.0, 330, 0.3)));
    const auto cut = decode(path, 1);
    QVERIFY(cut);
    QCOMPARE(cut->size(), qsizetype(44100 * 4));
    // The cut sound is not what later players get.
    const auto whole = decode(path);
    QVERIFY(whole);
    QVERIFY(qAbs(whole->size() / 4 - 3 * 44100) < 50);
}

void TestPcmDecoder::cancelledDecoderStaysQuiet() {
    const QString path = dir_.filePath("cancelled.wav");
    QVERIFY(writeFile(path, sineWav(22050, 0.5, 500, 0.3)));
    PcmDecoder decoder;
    QSignalSpy done(&decoder, &PcmDecoder::decoded);
    QSignalSpy failed(&decoder, &PcmDecoder::failed);
    decoder.start(path);
    decoder.cancel();
    QTest::qWait(500);
    QCOMPARE(done.count() + failed.count(), 0);
}

QTEST_GUILESS_MAIN(TestPcmDecoder)
#include "tst_pcmdecoder.moc"
