#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "engine/TimerSequence.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

class TestStorageManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingFileIsSilent();
    void saveCreatesFolder();
    void emptyArrayIsTwoCharacters();
    void optionalStringNull();
    void unreadableFiles_data();
    void unreadableFiles();
    void secondUnreadableCopyGetsOwnName();
    void saveFailureKeepsOldFileAndReports();
    void defaultFolderFollowsXdgDataHome();
    void compactUnsortedOutput();
};

void TestStorageManager::missingFileIsSilent() {
    TempStorage files;
    StdoutCapture out;
    QVERIFY(!files.storage.load<QList<TimerSequence>>("sequences.json"));
    QCOMPARE(out.text(), QString());
}

void TestStorageManager::saveCreatesFolder() {
    QTemporaryDir dir;
    StorageManager storage(dir.path() + "/a/b/Larkspurhollow");
    QVERIFY(storage.save(QList<QString>{"x"}, "custom-sounds.json"));
    QVERIFY(QFile::exists(dir.path() + "/a/b/Larkspurhollow/custom-sounds.json"));
}

void TestStorageManager::emptyArrayIsTwoCharacters() {
    TempStorage files;
    QVERIFY(files.storage.save(QList<TimerSequence>{}, "sequences.json"));
    QCOMPARE(files.read("sequences.json"), QByteArray("[]"));
    const auto loaded = files.storage.load<QList<TimerSequence>>("sequences.json");
    QVERIFY(loaded.has_value());
    QVERIFY(loaded->isEmpty());
}

void TestStorageManager::optionalStringNull() {
    TempStorage files;
    files.storage.save(std::optional<QString>(), "webhook-url.json");
    QCOMPARE(files.read("webhook-url.json"), QByteArray("null"));
    auto loaded = files.storage.load<std::optional<QString>>("webhook-url.json");
    QVERIFY(loaded.has_value() && !loaded->has_value());
    files.storage.save(std::optional<QString>("http://127.0.0.1:9/x"), "webhook-url.json");
    QCOMPARE(files.read("webhook-url.json"), QByteArray("\"http://127.0.0.1:9/x\""));
    loaded = files.storage.load<std::optional<QString>>("webhook-url.json");
    QCOMPARE(loaded->value_or(QString()), QStringLiteral("http://127.0.0.1:9/x"));
}

void TestStorageManager::unreadableFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not json") << QByteArray("hello");
    QTest::newRow("truncated") << QByteArray(R"([{"id":"6F1C2A3B-4D5E-4F60-8172-8)");
    QTest::newRow("object not array") << QByteArray(R"({"a":1})");
    QTest::newRow("number") << QByteArray("42");
    const QByteArray good =
        "{\"id\":\"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E\",\"name\":\"a\",\"steps\":[],"
        "\"currentStepIndex\":0}";
    QByteArray bad = good;
    bad.replace("\"currentStepIndex\":0", "\"currentStepIndex\":0.5");
    QTest::newRow("one bad element") << "[" + good + "," + bad + "]";
    QTest::newRow("two values") << QByteArray("[] []");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe[", 4);
    QTest::newRow("empty file") << QByteArray();
}

void TestStorageManager::unreadableFiles() {
    QFETCH(QByteArray, content);
    TempStorage files;
    files.write("sequences.json", content);
    StdoutCapture out;
    QVERIFY(!files.storage.load<QList<TimerSequence>>("sequences.json"));
    const QStringList lines = out.text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().startsWith("StorageManager load error: "), qPrintable(lines.first()));
    QCOMPARE(files.read("sequences.json"), content);
    const QStringList copies =
        QDir(files.storage.directory()).entryList({"sequences.json.unreadable-*"}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    QVERIFY2(lines.first().contains(copies.first()), qPrintable(lines.first()));
    QFile copy(files.storage.directory() + "/" + copies.first());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), content);
}

void TestStorageManager::secondUnreadableCopyGetsOwnName() {
    TempStorage files;
    files.write("presets.json", "{");
    StdoutCapture out;
    files.storage.load<QList<QString>>("presets.json");
    files.write("presets.json", "}");
    files.storage.load<QList<QString>>("presets.json");
    QCOMPARE(QDir(files.storage.directory()).entryList({"presets.json.unreadable-*"}).size(), 2);
}

void TestStorageManager::saveFailureKeepsOldFileAndReports() {
    // A file where the folder should be fails even for root, who ignores permissions.
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/Larkspurhollow");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    StorageManager storage(dir.path() + "/Larkspurhollow");
    StdoutCapture out;
    QVERIFY(!storage.save(QList<QString>{"a"}, "custom-sounds.json"));
    QVERIFY2(out.text().startsWith("StorageManager save error: "), qPrintable(out.text()));
    QCOMPARE(out.text().count('\n'), 1);
    QVERIFY(blocker.open(QIODevice::ReadOnly));
    QCOMPARE(blocker.readAll(), QByteArray("not a folder"));
}

void TestStorageManager::defaultFolderFollowsXdgDataHome() {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    StorageManager storage;
    QCOMPARE(storage.directory(), dir.path() + "/Larkspurhollow");
    QVERIFY(QFileInfo(storage.directory()).isDir());
}

void TestStorageManager::compactUnsortedOutput() {
    TempStorage files;
    TimerSequence s{QUuid::fromString(QStringLiteral("6f1c2a3b-4d5e-4f60-8172-839a4b5c6d7e")),
                    QStringLiteral("Z"),
                    {},
                    0};
    files.storage.save(QList<TimerSequence>{s}, "sequences.json");
    const QByteArray bytes = files.read("sequences.json");
    QVERIFY(!bytes.contains(' ') && !bytes.contains('\n'));
    QVERIFY(bytes.contains("6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E"));
}

QTEST_GUILESS_MAIN(TestStorageManager)
#include "tst_storagemanager.moc"
