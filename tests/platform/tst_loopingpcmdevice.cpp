#include <QTest>

#include "platform/LoopingPcmDevice.h"

using larkspur::LoopingPcmDevice;

namespace {
QByteArray pattern(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) bytes[i] = char('a' + i % 26);
    return bytes;
}

// Reads in pieces of `chunk` bytes until the device gives nothing or `limit` bytes have come.
QByteArray drain(LoopingPcmDevice& device, qint64 chunk, qint64 limit) {
    QByteArray all;
    while (all.size() < limit) {
        const QByteArray piece = device.read(std::min(chunk, limit - all.size()));
        if (piece.isEmpty()) break;
        all += piece;
    }
    return all;
}
}  // namespace

class TestLoopingPcmDevice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void servesEachPassWhole_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("passes");
        QTest::addColumn<qint64>("chunk");
        QTest::newRow("once, one read") << 1000 << 1 << qint64(4096);
        QTest::newRow("three, small reads") << 1000 << 3 << qint64(7);
        QTest::newRow("three, read spans passes") << 1000 << 3 << qint64(2500);
        QTest::newRow("two, exact reads") << 512 << 2 << qint64(512);
        QTest::newRow("zero passes mean one") << 100 << 0 << qint64(64);
    }
    void servesEachPassWhole() {
        QFETCH(int, size);
        QFETCH(int, passes);
        QFETCH(qint64, chunk);
        const QByteArray pcm = pattern(size);
        LoopingPcmDevice device(pcm, passes);
        const int expected = std::max(passes, 1);
        QCOMPARE(device.bytesAvailable(), qint64(size) * expected);
        const QByteArray all = drain(device, chunk, qint64(size) * 10);
        QCOMPARE(all, pcm.repeated(expected));
        QCOMPARE(device.bytesAvailable(), qint64(0));
        QVERIFY(device.atEnd());
        QCOMPARE(device.bytesServed(), qint64(size) * expected);
        QVERIFY(device.exhausted());
    }

    void endlessKeepsGoing() {
        const QByteArray pcm = pattern(300);
        LoopingPcmDevice device(pcm, LoopingPcmDevice::kEndless);
        QVERIFY(device.bytesAvailable() > 1'000'000);
        QCOMPARE(drain(device, 1000, 3000), pcm.repeated(10));
        QCOMPARE(device.bytesServed(), qint64(3000));
        QVERIFY(!device.exhausted());
        QVERIFY(!device.atEnd());
    }

    void emptySoundGivesNothing() {
        LoopingPcmDevice device(QByteArray(), LoopingPcmDevice::kEndless);
        QCOMPARE(device.read(100), QByteArray());
        QCOMPARE(device.bytesServed(), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestLoopingPcmDevice)
#include "tst_loopingpcmdevice.moc"
