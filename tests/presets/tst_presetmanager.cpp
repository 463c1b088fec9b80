#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include "presets/PresetManager.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
Preset make(const QString& name, qint64 sortOrder = 0) {
    Preset p;
    p.id = QUuid::createUuid();
    p.name = name;
    p.duration = 60;
    p.sortOrder = sortOrder;
    return p;
}

struct Fixture {
    TempStorage files;
    std::unique_ptr<PresetManager> manager;

    void launch() { manager = std::make_unique<PresetManager>(files.storage); }
    // Starts with the given list already in the file.
    void launchWith(const QList<Preset>& list) {
        files.storage.save(list, kPresetsFile);
        launch();
    }
    void launchWithNames(const QString& letters) {
        QList<Preset> list;
        for (qsizetype i = 0; i < letters.size(); ++i) list << make(letters.mid(i, 1), i);
        launchWith(list);
    }
    std::optional<QList<Preset>> stored() const {
        return files.storage.load<QList<Preset>>(kPresetsFile);
    }
    bool fileExists() const { return QFile::exists(files.path(kPresetsFile)); }
    void removeFile() const { QFile::remove(files.path(kPresetsFile)); }
    QString order() const {
        QString out;
        for (const Preset& p : manager->presets()) out += p.name;
        return out;
    }
    QList<qint64> numbers() const {
        QList<qint64> out;
        for (const Preset& p : manager->presets()) out << p.sortOrder;
        return out;
    }
};
}  // namespace

class TestPresetManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartSeedsAndWritesDefaults();
    void emptyArrayIsKept();
    void storedListIsTakenAsItStands();
    void unreadableFileFallsBackToDefaults_data();
    void unreadableFileFallsBackToDefaults();
    void addNumbersWithCount();
    void updateReplacesWhole();
    void updateUnknownIdDoesNothing();
    void deleteLeavesGapsUntilReorder();
    void deleteRemovesEveryMatchAndAlwaysSaves();
    void reorder_data();
    void reorder();
    void qmlFacingInterface();
};

void TestPresetManager::firstStartSeedsAndWritesDefaults() {
    Fixture f;
    StdoutCapture out;
    f.launch();
    QCOMPARE(f.manager->presets(), Preset::defaults());
    QCOMPARE(f.numbers(), (QList<qint64>{0, 1, 2, 3, 4}));
    QCOMPARE(f.stored(), std::optional<QList<Preset>>(Preset::defaults()));
    QCOMPARE(out.text(), QString());
    // The second start reads the file instead of seeding again.
    f.files.write(kPresetsFile, "[]");
    f.launch();
    QVERIFY(f.manager->presets().isEmpty());
}

void TestPresetManager::emptyArrayIsKept() {
    Fixture f;
    f.files.write(kPresetsFile, " [ ] ");
    f.launch();
    QVERIFY(f.manager->presets().isEmpty());
    QCOMPARE(f.manager->count(), 0);
    QCOMPARE(f.files.read(kPresetsFile), QByteArray(" [ ] "));
}

void TestPresetManager::storedListIsTakenAsItStands() {
    Fixture f;
    QList<Preset> list{make("B", 9), make("A", 9), make("C", -3)};
    list[1].soundConfig = SoundConfig{QStringLiteral("gong"), 0.5f, AlertMode::Repeated, 30};
    f.files.storage.save(list, kPresetsFile);
    QByteArray bytes = f.files.read(kPresetsFile);
    bytes.replace(",", ", ");  // not our own spelling, so any rewrite would show
    f.files.write(kPresetsFile, bytes);
    f.launch();
    QCOMPARE(f.manager->presets(), list);
    QCOMPARE(f.files.read(kPresetsFile), bytes);
}

void TestPresetManager::unreadableFileFallsBackToDefaults_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not json") << QByteArray("presets");
    QTest::newRow("object") << QByteArray(R"({"id":"x"})");
    QTest::newRow("null") << QByteArray("null");
    QTest::newRow("fractional sortOrder")
        << QByteArray(R"([{"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E","name":"a",)"
                      R"("duration":60,"sortOrder":0.5}])");
    QTest::newRow("one bad of two")
        << QByteArray(R"([{"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E","name":"a",)"
                      R"("duration":60,"sortOrder":0},{"name":"b","duration":1,"sortOrder":1}])");
    QTest::newRow("empty file") << QByteArray();
}

void TestPresetManager::unreadableFileFallsBackToDefaults() {
    QFETCH(QByteArray, content);
    Fixture f;
    f.files.write(kPresetsFile, content);
    StdoutCapture out;
    f.launch();
    QCOMPARE(f.manager->presets(), Preset::defaults());
    const QStringList lines = out.text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().startsWith("StorageManager load error: "), qPrintable(lines.first()));
    QCOMPARE(f.stored(), std::optional<QList<Preset>>(Preset::defaults()));
    // The user's unreadable file survives beside the rewritten one.
    const QStringList copies =
        QDir(f.files.storage.directory()).entryList({"presets.json.unreadable-*"}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    QFile copy(f.files.storage.directory() + "/" + copies.first());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), content);
}

void TestPresetManager::addNumbersWithCount() {
    Fixture f;
    f.launchWith({make("A", 7), make("B", 42), make("C", -1)});
    QSignalSpy changed(f.manager.get(), &PresetManager::presetsChanged);
    Preset added = make("D", 100);
    f.manager->add(added);
    QCOMPARE(f.order(), QStringLiteral("ABCD"));
    QCOMPARE(f.manager->presets().last().sortOrder, 3);
    added.sortOrder = 3;
    QCOMPARE(f.manager->presets().last(), added);
    QCOMPARE(f.stored(), std::optional<QList<Preset>>(f.manager->presets()));
    QCOMPARE(changed.size(), 1);
    f.manager->add(make("E"));
    QCOMPARE(f.manager->presets().last().sortOrder, 4);
}

void TestPresetManager::updateReplacesWhole() {
    Fixture f;
    f.launch();
    Preset pomodoro = f.manager->presets().at(3);
    pomodoro.name = QStringLiteral("Tomato");
    pomodoro.duration = 1200;
    pomodoro.emoji.reset();
    pomodoro.color = QStringLiteral("#FF0000");
    pomodoro.soundConfig = SoundConfig{QStringLiteral("bell"), 1.0f, AlertMode::OneShot, {}};
    pomodoro.sortOrder = 77;
    QSignalSpy changed(f.manager.get(), &PresetManager::presetsChanged);
    f.manager->update(pomodoro);
    QCOMPARE(f.manager->presets().at(3), pomodoro);
    QCOMPARE(f.manager->presets().size(), 5);
    QCOMPARE(f.stored()->at(3), pomodoro);
    QCOMPARE(changed.size(), 1);
}

void TestPresetManager::updateUnknownIdDoesNothing() {
    Fixture f;
    f.launch();
    f.removeFile();
    QSignalSpy changed(f.manager.get(), &PresetManager::presetsChanged);
    f.manager->update(make("Ghost"));
    QCOMPARE(f.manager->presets(), Preset::defaults());
    QVERIFY(!f.fileExists());
    QCOMPARE(changed.size(), 0);
}

void TestPresetManager::deleteLeavesGapsUntilReorder() {
    Fixture f;
    f.launch();
    f.manager->remove(Preset::defaults().first().id);
    QCOMPARE(f.numbers(), (QList<qint64>{1, 2, 3, 4}));
    QCOMPARE(f.stored()->size(), 4);
    f.manager->reorder({0}, 0);
    QCOMPARE(f.numbers(), (QList<qint64>{0, 1, 2, 3}));
    QCOMPARE(f.stored(), std::optional<QList<Preset>>(f.manager->presets()));
    QCOMPARE(f.manager->presets().first().name, QStringLiteral("Focus 10"));
}

void TestPresetManager::deleteRemovesEveryMatchAndAlwaysSaves() {
    Fixture f;
    Preset twin = make("T1");
    Preset twin2 = twin;
    twin2.name = QStringLiteral("T2");
    f.launchWith({make("A", 0), twin, make("B", 2), twin2});
    QSignalSpy changed(f.manager.get(), &PresetManager::presetsChanged);
    f.manager->remove(twin.id);
    QCOMPARE(f.order(), QStringLiteral("AB"));
    QCOMPARE(changed.size(), 1);
    f.removeFile();
    f.manager->remove(QUuid::createUuid());
    QCOMPARE(f.order(), QStringLiteral("AB"));
    QVERIFY(f.fileExists());
    QCOMPARE(changed.size(), 1);
}

void TestPresetManager::reorder_data() {
    QTest::addColumn<QList<int>>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("order");
    QTest::newRow("last to first") << QList<int>{4} << 0 << "EABCD";
    QTest::newRow("first to end") << QList<int>{0} << 5 << "BCDEA";
    QTest::newRow("down, counted before the move") << QList<int>{1} << 3 << "ACBDE";
    QTest::newRow("up") << QList<int>{3} << 1 << "ADBCE";
    QTest::newRow("onto itself") << QList<int>{2} << 2 << "ABCDE";
    QTest::newRow("just below itself") << QList<int>{2} << 3 << "ABCDE";
    QTest::newRow("two to the top") << QList<int>{1, 3} << 0 << "BDACE";
    QTest::newRow("two around the target") << QList<int>{0, 2} << 4 << "BDACE";
    QTest::newRow("unsorted sources keep list order") << QList<int>{4, 0} << 2 << "BAECD";
    QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4} << 3 << "ABCDE";
    QTest::newRow("nothing") << QList<int>{} << 2 << "ABCDE";
    QTest::newRow("duplicate source") << QList<int>{1, 1} << 0 << "BACDE";
    QTest::newRow("source past the end ignored") << QList<int>{7, 1} << 0 << "BACDE";
    QTest::newRow("negative source ignored") << QList<int>{-1} << 0 << "ABCDE";
    QTest::newRow("destination past the end") << QList<int>{0} << 99 << "BCDEA";
    QTest::newRow("negative destination") << QList<int>{4} << -3 << "EABCD";
}

void TestPresetManager::reorder() {
    QFETCH(QList<int>, from);
    QFETCH(int, to);
    QFETCH(QString, order);
    Fixture f;
    QList<Preset> list;
    for (int i = 0; i < 5; ++i) list << make(QString(QChar(u'A' + i)), 10 * i + 3);
    f.launchWith(list);
    QSignalSpy changed(f.manager.get(), &PresetManager::presetsChanged);
    f.removeFile();
    f.manager->reorder(from, to);
    QCOMPARE(f.order(), order);
    QCOMPARE(f.numbers(), (QList<qint64>{0, 1, 2, 3, 4}));
    QCOMPARE(f.stored(), std::optional<QList<Preset>>(f.manager->presets()));
    QCOMPARE(changed.size(), 1);
}

void TestPresetManager::qmlFacingInterface() {
    Fixture f;
    f.launchWithNames(QStringLiteral("ABC"));
    QObject* object = f.manager.get();
    QCOMPARE(object->property("count").toInt(), 3);
    const QVariantList values = object->property("presets").toList();
    QCOMPARE(values.size(), 3);
    QCOMPARE(values.at(1).value<Preset>(), f.manager->presets().at(1));

    Preset made;
    QVERIFY(QMetaObject::invokeMethod(object, "makePreset", Q_RETURN_ARG(larkspur::Preset, made),
                                      Q_ARG(QString, "Tea"), Q_ARG(double, 240.0),
                                      Q_ARG(QString, "🍵")));
    QVERIFY(!made.id.isNull());
    QCOMPARE(made.emoji, std::optional<QString>(QStringLiteral("🍵")));
    QVERIFY(!made.color && !made.soundConfig);
    QVERIFY(QMetaObject::invokeMethod(object, "add", Q_ARG(larkspur::Preset, made)));
    QCOMPARE(f.order(), QStringLiteral("ABCTea"));

    Preset edited = values.at(0).value<Preset>();
    edited.name = QStringLiteral("Z");
    QVERIFY(QMetaObject::invokeMethod(object, "update", Q_ARG(larkspur::Preset, edited)));
    QVERIFY(QMetaObject::invokeMethod(object, "reorder", Q_ARG(QList<int>, QList<int>{3}),
                                      Q_ARG(int, 0)));
    QCOMPARE(f.order(), QStringLiteral("TeaZBC"));
    QVERIFY(QMetaObject::invokeMethod(object, "remove", Q_ARG(QString, made.idText().toLower())));
    QVERIFY(QMetaObject::invokeMethod(object, "remove", Q_ARG(QString, "not an id")));
    QCOMPARE(f.order(), QStringLiteral("ZBC"));
    QCOMPARE(f.stored(), std::optional<QList<Preset>>(f.manager->presets()));
}

QTEST_GUILESS_MAIN(TestPresetManager)
#include "tst_presetmanager.moc"
