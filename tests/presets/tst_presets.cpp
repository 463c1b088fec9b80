#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "presets/PresetManager.h"
#include "support/StdoutCapture.h"
#include "support/TimerWorld.h"

using namespace larkspur;
using namespace larkspur::test;
using Presets = QList<Preset>;

namespace {

// A manager over presets "A", "B", ... numbered out of line, so that renumbering shows.
struct Fixture {
    TempStorage files;
    std::unique_ptr<PresetManager> manager;
    std::unique_ptr<QSignalSpy> changed;

    explicit Fixture(int count) {
        Presets list;
        for (int i = 0; i < count; ++i)
            list << Preset{QUuid::createUuid(), QChar(char16_t(u'A' + i)), 60, {}, {}, {},
                           10 * i + 3};
        files.storage.save(list, kPresetsFile);
        manager = std::make_unique<PresetManager>(files.storage);
        changed = std::make_unique<QSignalSpy>(manager.get(), &PresetManager::presetsChanged);
        QFile::remove(files.path(kPresetsFile));
    }
    // Names and numbers, the signals so far, and whether the file was written since last asked.
    QString state() const {
        QString out;
        for (const Preset& p : manager->presets())
            out += p.name + QString::number(p.sortOrder) + " ";
        const auto stored = files.storage.load<Presets>(kPresetsFile);
        QFile::remove(files.path(kPresetsFile));
        return out + QString::number(changed->count()) +
               (stored == manager->presets() ? " written"
                : stored                     ? " stale"
                                             : "");
    }
};

}  // namespace

class TestPresets : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void builtInsOnFirstStart();
    void editing();
    void reorder_data();
    void reorder();
};

void TestPresets::builtInsOnFirstStart() {
    TempStorage files;
    const PresetManager fresh(files.storage);
    QStringList seeded;
    for (const Preset& p : fresh.presets())  // "+": with a colour or a sound
        seeded << p.name + " " + QString::number(p.duration) + " " + p.emojiText() + " " +
                      QString::number(p.sortOrder) + (p.color || p.soundConfig ? "+" : "");
    QCOMPARE(seeded, (QStringList{"Quick 5 300 \u26A1 0", "Focus 10 600 \U0001F3AF 1",
                                  "Break 15 900 \u2615 2", "Pomodoro 1500 \U0001F345 3",
                                  "Deep Work 3600 \U0001F9E0 4"}));
    QCOMPARE(files.storage.load<Presets>(kPresetsFile), Preset::defaults());
    // An unreadable file gives way to the built-ins once a copy of it was kept.
    files.write("presets.json", "[{\"name\":\"b\"}]");
    StdoutCapture out;
    QCOMPARE(PresetManager(files.storage).presets(), Preset::defaults());
    QVERIFY(out.text().startsWith("StorageManager load error: "));
    QCOMPARE(files.storage.load<Presets>(kPresetsFile), Preset::defaults());
    QCOMPARE(files.read(QDir(files.storage.directory()).entryList({"*.unr*"}).value(0)),
             "[{\"name\":\"b\"}]");
}

void TestPresets::editing() {
    Fixture f(3);
    QObject* qml = f.manager.get();
    Preset tea;
    QVERIFY(QMetaObject::invokeMethod(qml, "makePreset", Q_RETURN_ARG(larkspur::Preset, tea),
                                      Q_ARG(QString, "Tea"), Q_ARG(double, 240.0),
                                      Q_ARG(QString, "🍵")));
    QVERIFY(tea.emoji == "🍵" && !f.manager->makePreset("Plain", 1).emoji);
    tea.color = "#3A7D44";
    tea.soundConfig = SoundConfig{"gong", 0.25f, AlertMode::Repeated, 30};
    f.manager->add(tea);  // numbered with the length before the append
    QCOMPARE(f.state(), "A3 B13 C23 Tea3 1 written");
    Preset edited = f.manager->presets().at(1);
    edited.name = "Z";
    edited.sortOrder = 7;
    f.manager->update(edited);
    QCOMPARE(f.state(), "A3 Z7 C23 Tea3 2 written");
    f.manager->update(Preset{QUuid::createUuid(), "Ghost", 1, {}, {}, {}, 0});
    QCOMPARE(f.state(), "A3 Z7 C23 Tea3 2");
    QVERIFY(QMetaObject::invokeMethod(qml, "remove", Q_ARG(QString, tea.idText().toLower())));
    QCOMPARE(f.state(), "A3 Z7 C23 3 written");
    // Ids matching nothing are ignored, and the file written all the same.
    QVERIFY(QMetaObject::invokeMethod(
        qml, "remove", Q_ARG(QString, QUuid::createUuid().toString(QUuid::WithoutBraces))));
    QCOMPARE(f.state(), "A3 Z7 C23 3 written");
    QVERIFY(QMetaObject::invokeMethod(qml, "remove", Q_ARG(QString, "x")));
    QCOMPARE(f.state(), "A3 Z7 C23 3 written");
    TimerWorld world;
    TimerInstance* timer = createTimer(world.manager, tea);
    QCOMPARE(world.manager.timers(), QList{timer});
    QCOMPARE(timer->name() + timer->emoji().value() + timer->color().value(), "Tea🍵#3A7D44");
    QVERIFY(timer->totalDuration() == 240 && timer->soundConfig() == tea.soundConfig &&
            timer->mode() == TimerMode::Countdown && timer->state() == TimerState::Idle);
    QCOMPARE(createTimer(world.manager, Preset::defaults().first())->soundConfig(), SoundConfig{});
}

void TestPresets::reorder_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("order");
    // Sources, the destination counted before the move, the order and numbers after it.
    const char* rows[][3] = {{"4", "0", "E0 A1 B2 C3 D4"},   {"0", "5", "B0 C1 D2 E3 A4"},
                             {"1", "3", "A0 C1 B2 D3 E4"},   {"3", "1", "A0 D1 B2 C3 E4"},
                             {"2", "2", "A0 B1 C2 D3 E4"},   {"2", "3", "A0 B1 C2 D3 E4"},
                             {"1 3", "0", "B0 D1 A2 C3 E4"}, {"0 2", "4", "B0 D1 A2 C3 E4"},
                             {"4 0", "2", "B0 A1 E2 C3 D4"}, {"1 1", "0", "B0 A1 C2 D3 E4"},
                             {"5 1", "0", "B0 A1 C2 D3 E4"}, {"-1", "0", "A0 B1 C2 D3 E4"},
                             {"0", "99", "B0 C1 D2 E3 A4"},  {"4", "-3", "E0 A1 B2 C3 D4"}};
    for (const auto& [from, to, order] : rows)
        QTest::addRow("%s to %s", from, to) << from << atoi(to) << order + QString(" 1 written");
}

void TestPresets::reorder() {
    QFETCH(QString, from);
    QFETCH(int, to);
    Fixture f(5);
    QList<int> sources;
    for (const QString& s : from.split(' ')) sources << s.toInt();
    QVERIFY(QMetaObject::invokeMethod(f.manager.get(), "reorder", Q_ARG(QList<int>, sources),
                                      Q_ARG(int, to)));
    QTEST(f.state(), "order");
}

QTEST_GUILESS_MAIN(TestPresets)
#include "tst_presets.moc"
