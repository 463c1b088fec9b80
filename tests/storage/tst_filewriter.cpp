#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "storage/FileWriter.h"
#include "storage/StorageManager.h"
#include "support/StdoutCapture.h"

using namespace larkspur;
using larkspur::test::StdoutCapture;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
}  // namespace

class TestFileWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lastWriteWins();
    void manyPathsAllWritten();
    void destructionWritesWhatWaits();
    void backgroundStorageReadsItsOwnWrites();
    void backgroundFailureIsReported();
};

void TestFileWriter::lastWriteWins() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.json");
    FileWriter writer;
    for (int i = 0; i < 500; ++i) writer.write(path, QByteArray::number(i));
    writer.flush();
    QCOMPARE(readAll(path), QByteArray("499"));
    QVERIFY(!writer.pending(path));
    // No temporary files are left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.json"});
}

void TestFileWriter::manyPathsAllWritten() {
    QTemporaryDir dir;
    FileWriter writer;
    for (int i = 0; i < 50; ++i)
        writer.write(dir.filePath(QStringLiteral("f%1").arg(i)), QByteArray::number(i * 7));
    writer.flush();
    for (int i = 0; i < 50; ++i)
        QCOMPARE(readAll(dir.filePath(QStringLiteral("f%1").arg(i))), QByteArray::number(i * 7));
}

void TestFileWriter::destructionWritesWhatWaits() {
    QTemporaryDir dir;
    {
        FileWriter writer;
        for (int i = 0; i < 20; ++i) writer.write(dir.filePath(QStringLiteral("g%1").arg(i)), "x");
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 20);
}

void TestFileWriter::backgroundStorageReadsItsOwnWrites() {
    QTemporaryDir dir;
    StorageManager storage(dir.path(), StorageManager::Writes::Background);
    for (int i = 0; i < 200; ++i) {
        storage.save(QList<QString>{QString::number(i)}, "custom-sounds.json");
        const auto back = storage.load<QList<QString>>("custom-sounds.json");
        QVERIFY(back && back->value(0) == QString::number(i));
    }
    storage.flush();
    QCOMPARE(readAll(dir.filePath("custom-sounds.json")), QByteArray("[\"199\"]"));
}

void TestFileWriter::backgroundFailureIsReported() {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("Larkspurhollow"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    StdoutCapture out;
    {
        StorageManager storage(dir.filePath("Larkspurhollow"), StorageManager::Writes::Background);
        QVERIFY(storage.save(QList<QString>{"a"}, "custom-sounds.json"));
        storage.flush();
    }
    QVERIFY2(out.text().startsWith("StorageManager save error: "), qPrintable(out.text()));
    QCOMPARE(out.text().count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestFileWriter)
#include "tst_filewriter.moc"
