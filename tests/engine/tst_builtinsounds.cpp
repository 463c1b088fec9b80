// The six built-in sounds, as our synthesiser wrote them and the program carries them.
#include <QFile>
#include <QTest>

#include "engine/SoundManager.h"
#include "support/AiffReader.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
AiffSound load(const QString& name) {
    QFile file(":/sounds/" + name + ".aiff");
    if (!file.open(QIODevice::ReadOnly)) return {};
    return readAiff(file.readAll()).value_or(AiffSound{});
}

int peakOf(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    int peak = 0;
    for (std::size_t i = from; i < std::min(to, s.size()); ++i)
        peak = std::max(peak, std::abs(int(s[i])));
    return peak;
}

// Sign changes per second over two: the pitch a listener would roughly hear.
double crossingRate(const AiffSound& a) {
    int changes = 0;
    for (std::size_t i = a.channels; i < a.samples.size(); i += a.channels)
        changes += (a.samples[i - a.channels] < 0) != (a.samples[i] < 0);
    return changes / a.seconds() / 2;
}
}  // namespace

class TestBuiltInSounds : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wellFormedShortAndClean_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : SoundManager::bundledSounds())
            QTest::newRow(qPrintable(name)) << name;
    }
    void wellFormedShortAndClean() {
        QFETCH(QString, name);
        const AiffSound a = load(name);
        QVERIFY2(a.channels == 1 || a.channels == 2, "an AIFF file with 16-bit samples");
        QCOMPARE(a.bits, 16);
        QVERIFY2(a.sampleRate == 44100 || a.sampleRate == 48000,
                 qPrintable(QString::number(a.sampleRate)));
        QVERIFY2(a.seconds() >= 0.3 && a.seconds() <= 1.5,
                 qPrintable(QString::number(a.seconds())));
        const int peak = peakOf(a.samples, 0, a.samples.size());
        QVERIFY2(peak < 32000, "no clipping");
        QVERIFY2(peak > 32768 / 4, "loud enough to be heard");
        // No click at either end: it starts from silence and fades out to it.
        const std::size_t fiveMs = std::size_t(a.sampleRate * 0.005) * a.channels;
        QVERIFY(peakOf(a.samples, 0, 1 * a.channels) < 32768 / 100);
        QVERIFY(peakOf(a.samples, a.samples.size() - fiveMs, a.samples.size()) < 32768 / 200);
    }

    void clearlyDifferent() {
        const QStringList names = SoundManager::bundledSounds();
        for (int i = 0; i < names.size(); ++i) {
            for (int j = i + 1; j < names.size(); ++j) {
                const AiffSound a = load(names[i]);
                const AiffSound b = load(names[j]);
                const double lengths = qAbs(a.seconds() - b.seconds());
                const double pitches = std::max(crossingRate(a), crossingRate(b)) /
                                       std::max(1.0, std::min(crossingRate(a), crossingRate(b)));
                QVERIFY2(lengths >= 0.2 || pitches >= 1.3,
                         qPrintable(names[i] + " and " + names[j] + " are too alike"));
            }
        }
    }

    void extendedSampleRate_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("value");
        QTest::newRow("44100") << QByteArray::fromHex("400EAC44000000000000") << 44100.0;
        QTest::newRow("48000") << QByteArray::fromHex("400EBB80000000000000") << 48000.0;
        QTest::newRow("1") << QByteArray::fromHex("3FFF8000000000000000") << 1.0;
        QTest::newRow("zero") << QByteArray(10, '\0') << 0.0;
    }
    void extendedSampleRate() {
        // The test's own reader of the 80-bit rate, checked against known encodings.
        QFETCH(QByteArray, bytes);
        QFETCH(double, value);
        QCOMPARE(readExtended(reinterpret_cast<const unsigned char*>(bytes.constData())), value);
    }
};

QTEST_GUILESS_MAIN(TestBuiltInSounds)
#include "tst_builtinsounds.moc"
