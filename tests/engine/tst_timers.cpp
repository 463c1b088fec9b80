#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include "engine/TimeFormat.h"
#include "engine/TimerManager.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"
#include "support/TextRows.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
const SoundConfig kBell{"bell", 0.5f, AlertMode::Repeated, std::nullopt};

// JSON written with ' for ".
QJsonObject object(QByteArray text) {
    return QJsonDocument::fromJson(text.replace('\'', '"')).object();
}

// Runs `script` on a timer made from `shape` ("mode length [wN] [state] [elapsed] [end+N]") and
// tells what happened ("+N" lets time pass, "zN" moves the wall clock alone, as a sleep or a
// step of the clock does, and wakes the timer): "state@time", "warn@time", "lap@time" (written
// without a change of state); the steps "?", "%" and "#" add the shown time, the progress and the
// announcements of the elapsed time so far (none but a pause's, as nothing shows it: nothing
// ticks).
QString run(const QString& shape, const QString& script) {
    const QStringList words = shape.split(' ');
    ManualTime time;
    TimerData d;
    std::tie(d.id, d.mode, d.totalDuration) =
        std::tuple(QUuid::createUuid(), *timerModeFromRaw(words[0]), words[1].toDouble());
    for (const QString& w : words.mid(2)) {
        if (w[0] == 'w') d.soundConfig.preWarningSeconds = w.mid(1).toLongLong();
        if (w.startsWith("end")) d.endDate = time.now() + w.mid(3).toDouble();
        if (w[0].isDigit() || w[0] == '-' || w == "nan") d.elapsedTime = w.toDouble();
        d.state = timerStateFromRaw(w).value_or(d.state);
    }
    TimerInstance t(d, time, time);
    QStringList log;
    bool changed = false, slow = false;
    auto at = [&] { return '@' + QString::number(time.monotonic(), 'g', 6); };
    QObject::connect(&t, &TimerInstance::stateChanged, [&](TimerState s) {
        log << toRawValue(s) + at();
        changed = true;
    });
    QObject::connect(&t, &TimerInstance::persistentChange, [&] {
        if (!std::exchange(changed, false)) log << "lap" + at();
        if (slow) time.advance(0.05);  // writing the list takes a while
    });
    QObject::connect(&t, &TimerInstance::preWarningDue, [&] { log << "warn" + at(); });
    QSignalSpy ticks(&t, &TimerInstance::elapsedTimeChanged);
    for (const QString& step : script.split(' ')) {
        if (step[0] == '+') time.advance(step.mid(1).toDouble());
        if (step[0] == 'z') time.shiftWallClock(step.mid(1).toDouble()), t.reevaluate();
        if (step == "?") log << t.displayTime();
        if (step == "%") log << QString::number(t.progress() * 100, 'g', 4) + '%';
        if (step == "#") log << QString::number(ticks.count()) + '#';
        if (step == "slow") slow = true;
        if (step == "continue") t.continueAfterRestore();
        if (step == "detach") t.detach();
        if (step[0].isLower() && step[0] != 'z' &&
            !QStringList{"slow", "continue", "detach"}.contains(step))
            QMetaObject::invokeMethod(&t, step.toLatin1());
    }
    return log.join(' ');
}

// A manager over a throwaway folder; launch() starts a new one on the same files and clock.
struct World {
    TempStorage files;
    ManualTime time;
    RecordingNotifier notifier;
    std::unique_ptr<TimerManager> manager;
    QStringList log;  // completions and sequence moves, with the notifications so far

    World() { launch(); }
    void launch() {
        manager = std::make_unique<TimerManager>(files.storage, time, time, notifier);
        manager->setOnTimerCompleted([this](TimerInstance* t) { event(t->name()); });
        QObject::connect(manager.get(), &TimerManager::activeSequenceChanged,
                         [this] { event("seq"); });
    }
    void event(const QString& what) { log << what + ':' + QString::number(notifier.posted.size()); }
    TimerInstance* find(const QString& name) const {
        for (TimerInstance* t : manager->timers())
            if (t->name() == name) return t;
        return nullptr;
    }
    QStringList names() const {
        QStringList out;
        for (const TimerInstance* t : manager->timers()) out << t->name();
        return out;
    }
    QStringList written() const {
        QStringList out;
        for (const QJsonValue v : QJsonDocument::fromJson(files.read(kActiveTimersFile)).array())
            out << v["name"].toString() + ' ' + v["state"].toString() + ' ' +
                       v["emoji"].toString("-") + ' ' +
                       QString::number(v["elapsedTime"].toDouble()) + '/' +
                       QString::number(v["totalDuration"].toDouble());
        return out;
    }

    // Runs a script of steps: "A=60" adds a countdown A (A=loop5 a loop, A=10r3 one that recurs
    // at most 3 times, A=10r without end), "A>" start, "A|" pause, "A~" resume, "A0" reset, "A-"
    // remove, "x-" remove an id that is none, "A?" its shown time, "save", "relaunch" (from the
    // list as last written), "continue" (once launched), "C=end20" an end time 20 s ahead, "all|" /
    // "all0" pause / reset all, "+N" time passes, "zN" the wall clock alone moves (a sleep),
    // "edit:A:name:emoji:length", "seq" / "seq0" start a sequence M [A 60, Zero 0, B 120] / an
    // empty one; "?" the list as last written, "n" the timers and the last one's runs, "#" the
    // active and running ones. After a step that wrote the list (once, at the end of the step's
    // pass): "w"; "!" when a timer changes after the list was written in the same step. At the end:
    // timerChanged/timersChanged.
    QString run(const QString& script) {
        QSignalSpy relayed(manager.get(), &TimerManager::timerChanged);
        QSignalSpy listed(manager.get(), &TimerManager::timersChanged);
        const QString file = files.path(kActiveTimersFile);
        QStringList last;
        QByteArray lastBytes;
        for (const QString& step : script.split(' ')) {
            const QString name = step.left(1), op = step.mid(1);
            TimerInstance* t = find(name);
            if (op.startsWith('=')) {
                const QStringList p = op.mid(1).split('r');
                const bool loop = p[0].startsWith("loop"), end = p[0].startsWith("end");
                const auto mode = loop  ? TimerMode::Loop
                                  : end ? TimerMode::EndTime
                                        : TimerMode::Countdown;
                const double length = p[0].mid(loop || end ? 4 - end : 0).toDouble();
                std::optional<RecurringConfig> recurring;
                if (p.size() > 1)
                    recurring = RecurringConfig{
                        3600, p[1].isEmpty() ? std::optional<qint64>() : p[1].toLongLong(), 0};
                t = manager->createTimer(
                    NewTimer{.name = name,
                             .duration = end ? 0 : length,
                             .mode = mode,
                             .emoji = "e",
                             .endDate = end ? std::optional(time.now() + length) : std::nullopt,
                             .recurringConfig = recurring});
                QObject::connect(t, &TimerInstance::stateChanged, [=, this] {
                    if (QFile::exists(file)) log << "!";
                });
            }
            if (op == "?") log << t->displayTime();
            if (step == "save") manager->saveTimers();
            if (step == "continue") manager->continueRestoredTimers();
            if (step == "relaunch") files.write(kActiveTimersFile, lastBytes), launch();
            if (op == ">") t->start();
            if (op == "|") t->pause();
            if (op == "~") t->resume();
            if (op == "0") t->reset();
            if (op == "-") manager->removeTimer(t ? t->idString().toLower() : "not an id");
            if (step == "all|") manager->pauseAll();
            if (step == "all0") manager->resetAll();
            if (name == "+") time.advance(op.toDouble());
            if (name == "z") time.shiftWallClock(op.toDouble()), manager->reevaluate();
            if (step.startsWith("edit:")) {
                const QStringList e = step.split(':');
                t = find(e[1]);
                QSignalSpy named(t, &TimerInstance::nameChanged),
                    lengths(t, &TimerInstance::totalDurationChanged),
                    shown(t, &TimerInstance::elapsedTimeChanged);
                manager->applyEdit(t, e[2], e[3], e[4].toDouble());
                log << QStringLiteral("e%1%2%3")
                           .arg(named.count())
                           .arg(lengths.count())
                           .arg(shown.count());
            }
            if (step.startsWith("seq")) {
                TimerSequence s{
                    QUuid::createUuid(), "M", {{QUuid::createUuid(), "A", 60, kBell}}, 7};
                s.steps << SequenceStep{QUuid::createUuid(), "Zero", 0, {}}
                        << SequenceStep{QUuid::createUuid(), "B", 120, kBell};
                if (step == "seq0") s.steps.clear();
                manager->startSequence(s);
                log << QString::number(manager->activeSequence()->currentStepIndex);
            }
            if (step == "?") log << '[' + last.join(", ") + ']';
            if (step == "n")
                log << '(' + names().join(", ") + ')' +
                           QString::number(
                               manager->timers().isEmpty() ||
                                       !manager->timers().last()->recurringConfig()
                                   ? -1
                                   : manager->timers().last()->recurringConfig()->runsCompleted);
            if (step == "#")
                log << QStringLiteral("#%1").arg(manager->activeCount()) + [&] {
                    QString r;
                    for (auto* x : manager->runningTimers()) r += x->name();
                    return r;
                }();
            time.advance(0);  // the end of this pass of the event loop: the list is written
            if (QFile::exists(file))
                log << "w", last = written(), lastBytes = files.read(kActiveTimersFile),
                            QFile::remove(file);
            QCoreApplication::processEvents();
        }
        return (log << QStringLiteral("%1/%2").arg(relayed.count()).arg(listed.count())).join(' ');
    }
};
}  // namespace

class TestTimers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void timeline_data() {
        // timer | script | what happened
        addTextRows(
            {"countdown 300 0.2 | ? % | 05:00 0.06667%",
             "countdown 300 299.95 | ? | 00:01",
             "countdown 3600 0.5 | ? | 1:00:00",
             "countdown 3600 1 | ? | 59:59",
             "countdown 400 100 | ? % | 05:00 25%",
             "countdown -50 | ? % | 00:00 0%",
             "countdown 10 -1e300 | ? % | 999999:59:59 0%",
             "endTime 10 end+60 | % | 0%",
             "stopwatch 5 3725.9 | ? % | 1:02:05 0%",
             "stopwatch 0 93789 | ? | 26:03:09",
             "stopwatch 0 3599999999.5 | ? | 999999:59:59",
             "stopwatch 0 nan | ? | 00:00",
             "stopwatch 0 -4 | ? | 00:00",
             "endTime 100 end+30 | ? % | 00:30 70%",
             "countdown 60 | pause resume start +10 # pause +50 resume resume ? +50.05 ? % | "
             "running@0 0# paused@10 running@60 00:50 completed@110 00:00 100%",
             "countdown 60 completed 60 | start +1.05 ? start reset +9 ? | running@0 00:59 "
             "lap@1.05 idle@1.05 01:00",
             "countdown 60 | start +1 detach +9 ? | running@0 00:59",
             "countdown 1.234 | start +5 | running@0 completed@1.234",
             "countdown 1.234 | start +0.5 pause +10 resume +5 | running@0 paused@0.5 "
             "running@10.5 completed@11.234",
             "countdown 2 | slow start +5 | running@0 completed@2",
             "endTime 999 end+3.21 | start ? % +5 | running@0 00:04 0% completed@3.21",
             "endTime 0 end+60 | start +10 pause +20 resume +40 | running@0 paused@10 running@30 "
             "completed@60",
             "endTime 9 end-30 | start % +1 | running@0 0% completed@0",
             "countdown 60 w30 | start +61 | running@0 warn@30 completed@60",
             "countdown 2.05 w1 | start +3 | running@0 warn@1.05 completed@2.05",
             "stopwatch 10 w4 | start +9 ? | running@0 warn@6 00:09",
             "countdown 9 w5 | start +1 pause +10 resume +9 | running@0 paused@1 running@11 "
             "warn@14 completed@19",
             "countdown 2 w1 | start +3 | running@0 warn@1 completed@2",
             "countdown 60 w0 | start +61 | running@0 completed@60",
             "countdown 60 | start +61 | running@0 completed@60",
             "countdown 5 w30 | start +6 | running@0 warn@0.1 completed@5",
             "countdown 0 w5 | start +1 | running@0 completed@0",
             "countdown 60 w30 | start +35 reset start +35 | running@0 warn@30 idle@35 running@35 "
             "warn@65",
             "loop 10 w3 | start +25.05 ? | running@0 warn@7 lap@10 warn@17 lap@20 00:05",
             "loop 0 | start +0.35 ? | running@0 lap@0.1 lap@0.2 lap@0.3 00:00",
             "loop 0.000001 | start +0.35 | running@0 lap@0.1 lap@0.2 lap@0.3",
             "countdown 300 paused 100 | +50 ? resume +1.05 ? | 03:20 running@50 03:19",
             "countdown 300 running 100 | +50 ? continue +10.05 ? pause resume +10 ? | 03:20 "
             "03:10 paused@60.05 running@60.05 03:00",
             "endTime 300 running 40 end-5 | continue +1 | completed@0",
             "countdown 60 w30 | start +10 z25 ? +25 | running@0 warn@10 00:25 completed@35",
             "countdown 60 w30 | start +10 z60 | running@0 completed@10",
             "loop 10 w3 | start +1 z12 ? | running@0 lap@1 00:10",
             "endTime 0 end+60 | start +10 z100 | running@0 completed@10",
             "countdown 60 | start +10 z-30 ? +80 | running@0 01:20 completed@90"});
    }
    void timeline() {
        const QStringList parts = textRowFields();
        QCOMPARE(run(parts[0], parts[1]), parts[2]);
    }

    void codec_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("written");  // "=": as stored; empty: refused
        const QByteArray head =
            "{'id':'6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E','name':'Tea',"
            "'totalDuration':180,'mode':";
        const QByteArray sound = "'soundConfig':{'soundName':'x','volume':1,'alertMode':";
        const QByteArray rest = ",'elapsedTime':1,'createdAt':2,'preWarningFired':false," + sound;
        QTest::newRow("defaults") << head + "'countdown'}"
                                  << head +
                                         "'countdown','state':'idle','elapsedTime':0,'createdAt':"
                                         "4242.5,'preWarningFired':false,'soundConfig':{'soundName'"
                                         ":'chime','volume':0.8,'alertMode':'oneShot'}}";
        QTest::newRow("every field")
            << head +
                   "'endTime','state':'paused','elapsedTime':123.456789012345,"
                   "'createdAt':786000000.1234568,'endDate':786001500.9876543,"
                   "'preWarningFired':true,'emoji':'🧠','color':'blue','soundConfig':"
                   "{'soundName':'gong','volume':0.35,'alertMode':'loopUntilDismissed',"
                   "'preWarningSeconds':90},'recurringConfig':"
                   "{'interval':86400,'maxRuns':5,'runsCompleted':2}}"
            << QByteArray("=");
        QTest::newRow("stopwatch")
            << head + "'stopwatch','state':'running'" + rest + "'repeated'}}" << QByteArray("=");
        QTest::newRow("loop")
            << head + "'loop','state':'completed'" + rest +
                   "'oneShot'},'recurringConfig':{'interval':0,'runsCompleted':0}}"
            << QByteArray("=");
        QTest::newRow("mode case") << head + "'Countdown'}" << QByteArray();
        QTest::newRow("mode empty") << head + "''}" << QByteArray();
        QTest::newRow("state") << head + "'loop','state':'stopped'}" << QByteArray();
        QTest::newRow("alert") << head + "'loop'," + sound + "'twice'}}" << QByteArray();
    }
    void codec() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, written);
        const QJsonObject in = object(stored);
        if (written.isEmpty())
            QVERIFY_THROWS_EXCEPTION(json::JsonError, TimerDataCodec::decode(in, 4242.5));
        else
            QCOMPARE(TimerDataCodec::encode(TimerDataCodec::decode(in, 4242.5)).toObject(),
                     written == "=" ? in : object(written));
        TimerSequence s{
            QUuid::createUuid(), "Morning", {{QUuid::createUuid(), "Stretch", 60, {}}}, 1};
        s.steps.append(
            {QUuid::createUuid(), "Read", 120, SoundConfig{"bell", 0.5f, AlertMode::Repeated, 5}});
        const QJsonValue v = JsonCodecFor<TimerSequence>::encode(s);
        QCOMPARE(JsonCodecFor<TimerSequence>::decode(v), s);
        QVERIFY(!v["steps"][0].toObject().contains("soundConfig"));
    }

    void manager_data() {
        // script | what happened
        addTextRows(
            {"A=60 A> +10 ? A| ? A~ +5 A> ? +60 ? A0 ? | w w [A running e 0/60] w [A paused e "
             "10/60] w w [A running e 0/60] A:0 w [A completed e 60/60] w [A idle e 0/60] 5/6",
             "A=60 B=60 C=1 D=60 C> A> B> +2.05 # all| ? # all| all0 ? # | w w w w w w w C:0 w "
             "#2AB w [A paused e 2.05/60, B paused e 2.05/60, C completed e 1/1, D idle e 0/60] #2 "
             "w [A "
             "idle e 0/60, B idle e 0/60, C idle e 0/1, D idle e 0/60] #0 6/13",
             "A=10r3 A> +10.99 n +54.51 n | w w A:0 w (A)1 A:1 A:2 w (A, A, A)3 3/9",
             "A=10r1 A> +65.5 n | w w A:0 w (A)1 2/3",
             "A=10r0 A> +65.5 n | w w A:0 w (A)0 2/3",
             "A=10r-4 A> +65.5 n | w w A:0 w (A)0 2/3",
             "A=10r A> +65.5 n | w w A:0 A:1 A:2 A:3 A:4 A:5 w (A, A, A, A, A, A)6 2/18",
             "seq0 n seq +60.49 n +0.01 n +0.65 n +120 n | seq:0 0 ()-1 seq:0 0 w M: A:0 seq:1 w "
             "(M: A)-1 M: Zero:1 seq:2 w (M: A, M: Zero)-1 w (M: A, M: Zero, M: B)-1 M: B:2 seq:3 "
             "w (M: A, M: Zero, M: B)-1 5/9",
             "A=2 B=600 edit:B:Green:x:90 ? | w w e211 w [A idle e 0/2, Green idle x 0/90] 1/2",
             "A=2 B=600 B> edit:B:Green:x:90 ? | w w w e200 w [A idle e 0/2, Green running x "
             "0/600] 2/3",
             "A=2 B=600 B> B| edit:B:Green:x:90 ? | w w w w e200 w [A idle e 0/2, Green paused x "
             "0/600] 3/4",
             "A=2 B=600 edit:B:Green::0 ? | w w e211 w [A idle e 0/2, Green idle  0/0] 1/2",
             "A=2 B=600 edit:B:Green:x:600 ? | w w e200 w [A idle e 0/2, Green idle x 0/600] 1/2",
             "A=2 B=600 edit:B:Green:x:-1 ? | w w e200 w [A idle e 0/2, Green idle x 0/600] 1/2",
             "A=2 B=600 edit:B:Green:x:nan ? | w w e200 w [A idle e 0/2, Green idle x 0/600] 1/2",
             "A=2 B=600 edit:B:Green:x:inf ? | w w e200 w [A idle e 0/2, Green idle x 0/600] 1/2",
             "A=300 B=300 C=end20 D=1r A> B> C> D> +1.05 B| +0.5 save relaunch +50 A? continue "
             "+10.05 A? B? B~ +20.05 A? B? n | w w w w w w w w D:0 w w w w 04:59 C:1 w 04:49 "
             "04:59 w 04:29 04:39 (A, B, C, D)1 6/10",
             "A=2 B=60 A> x- A- +5 n ? | w w w w (B)-1 [B idle e 0/60] 1/4",
             "A=30 B=10 C=20 D=90 A> B> C> D> +5 z30 # | w w w w w w w w B:0 C:1 A:2 w #1D 5/11",
             "seq +30 z45 n +0.5 n | seq:0 0 w M: A:0 seq:1 w (M: A)-1 M: Zero:1 seq:2 w (M: A, "
             "M: Zero)-1 3/6"});
    }
    void manager() {
        const QStringList parts = textRowFields();
        World w;
        QCOMPARE(w.run(parts[0]), parts[1]);
    }

    void strangersAreLeftAlone() {
        World w;
        TimerManager other(w.files.storage, w.time, w.time, w.notifier);
        TimerInstance* stranger = other.createTimer(NewTimer{.name = "Other", .duration = 60});
        w.manager->applyEdit(stranger, "x", "", 5);
        w.manager->applyEdit(nullptr, "x", "", 5);
        QCOMPARE(stranger->name() + QString::number(stranger->totalDuration()),
                 QStringLiteral("Other60"));
        QCOMPARE(w.manager->timer(stranger->id()), nullptr);
        QCOMPARE(other.timer(stranger->id()), stranger);
        QCOMPARE(w.notifier.permissionRequests, 2);
    }

    void removals_data() {
        // timers | removed together ("x" is none of them) | rows told | the list left
        addTextRows({"ABCDE | BCE | 4-4 1-2 | ADw", "ABC | CBA | 0-2 | w", "ABC | Bx | 1-1 | ACw",
                     "ABC | x |  | ABC"});
    }
    // Neighbours go as one range and the views and the file hear of them once.
    void removals() {
        const QStringList parts = textRowFields();
        World w;
        QList<QUuid> ids;
        {
            TimerManager::Batch batch(*w.manager);  // views made meanwhile take none of them yet
            for (QChar name : parts[0]) w.manager->createTimer(NewTimer{.name = name});
            QCOMPARE(w.manager->announcedCount(), 0);
        }
        for (QChar name : parts[1])
            ids << (w.find(name) ? w.find(name)->id() : QUuid::createUuid());
        w.time.advance(0);
        QFile::remove(w.files.path(kActiveTimersFile));
        QStringList told;
        QObject::connect(w.manager.get(), &TimerManager::timersRemoved, [&](int first, int last) {
            told << QStringLiteral("%1-%2").arg(first).arg(last);
        });
        QSignalSpy listed(w.manager.get(), &TimerManager::timersChanged);
        w.manager->removeTimers(ids);
        w.time.advance(0);
        QCOMPARE(told.join(' '), parts[2]);
        QCOMPARE(w.names().join("") + (QFile::exists(w.files.path(kActiveTimersFile)) ? "w" : ""),
                 parts[3]);
        QCOMPARE(listed.count(), int(!told.isEmpty()));
    }

    // Cancelled tasks do not stay until their due time once they are most of the queue; the
    // handles may outlive it.
    void cancelledTasks_data() {
        // live | cancelled | entries held after one more task
        addTextRows({"10 50 | 61", "10 1000 | 11", "1000 900 | 1901", "0 64 | 1"});
    }
    void cancelledTasks() {
        const QStringList parts = textRowFields();
        const QStringList counts = parts[0].split(' ');
        std::vector<TaskHandle> live, dead;
        TaskQueue queue;
        QList<double> ran;
        const int all = counts[0].toInt() + counts[1].toInt();
        for (int i = 0; i < all; ++i) {
            const double due = (i * 7919) % all;  // the live ones scattered among the rest
            (i < counts[0].toInt() ? live : dead).push_back(queue.add(due, 0, [&ran, due] {
                ran << due;
            }));
        }
        dead.clear();
        live.push_back(queue.add(-1, 0, [&ran] { ran << -1; }));
        QCOMPARE(QString::number(queue.size()), parts[1]);
        QCOMPARE(queue.runDue(1e9), int(live.size()));
        QVERIFY(std::is_sorted(ran.begin(), ran.end()));
    }

    // Nothing wakes the program but what is due, unless a view shows timers moving; fifty
    // timers ending together are announced in due order and written once.
    void wakeUps() {
        World w;
        TimerInstance* a = w.manager->createTimer(NewTimer{.name = "A", .duration = 60});
        a->start();
        w.time.advance(0);
        QSignalSpy shown(a, &TimerInstance::elapsedTimeChanged);
        QSignalSpy counted(w.manager.get(), &TimerManager::tickChanged);
        std::size_t before = w.time.ran();
        w.time.advance(30);
        QCOMPARE(QList<qsizetype>({qsizetype(w.time.ran() - before), shown.count()}),
                 QList<qsizetype>({0, 0}));
        w.manager->setViewsVisible(true);  // announced at once, then ten times a second
        w.time.advance(1.05);
        QCOMPARE(QList<qsizetype>({shown.count(), counted.count()}), QList<qsizetype>({11, 2}));
        w.manager->setViewsVisible(false);
        before = w.time.ran();
        w.time.advance(30);
        QCOMPARE(w.time.ran() - before, 2u);  // the end and its write

        QList<TimerInstance*> burst;
        for (int i = 0; i < 50; ++i) {
            burst << w.manager->createTimer(
                NewTimer{.name = QString::number(i), .duration = 10 - i * 0.0625});
            burst.last()->start();
            w.time.advance(0.0625);
        }
        w.notifier.posted.clear();
        before = w.time.ran();
        w.time.advance(10);
        QCOMPARE(w.time.ran() - before, 51u);
        QStringList announced, due;
        for (const Notification& n : std::as_const(w.notifier.posted)) announced << n.identifier;
        for (const TimerInstance* t : std::as_const(burst)) due << t->idString();
        QCOMPARE(announced, due);
    }

    // The sequence list's and builder's rules.
    void sequenceEditing() {
        TimerSequence a{QUuid::createUuid(), "A", {}, 0}, b{QUuid::createUuid(), "B", {}, 0};
        QList<TimerSequence> list{a};
        saveSequence(list, b);  // new: appended
        a.name = "A2";
        saveSequence(list, a);  // known: replaced in place
        list.removeFirst();
        saveSequence(list, a);  // deleted meanwhile: appended again
        QCOMPARE(list, (QList<TimerSequence>{b, a}));

        QVERIFY(!canSave(a));  // no steps
        for (int i = 0; i < 3; ++i) addStep(a);
        a.steps.removeAt(1);
        addStep(a);  // numbered by the count: two steps now share a name
        QVERIFY(updateStep(a, a.steps[0].id, "", 120) && !updateStep(a, QUuid(), "x", 1));
        moveStep(a, 0, 3);
        moveStep(a, 2, 1);
        moveStep(a, 5, 0);
        QStringList shown;
        for (const SequenceStep& s : a.steps) shown << s.name + '/' + QString::number(s.duration);
        QCOMPARE(shown, (QStringList{"Step 3/300", "Step/120", "Step 3/300"}));
        QVERIFY(canSave(a) && !canSave({{}, "", a.steps, 0}) && canSave({{}, " ", a.steps, 0}));
    }

    void notifications() {
        World w;
        SoundConfig warn;
        warn.preWarningSeconds = 120;
        TimerInstance* tea = w.manager->createTimer(
            NewTimer{.name = "Tea", .duration = 300, .soundConfig = warn, .emoji = "🍵"});
        tea->start();
        TimerInstance* bare = w.manager->createTimer(NewTimer{.name = "Bare", .duration = 1});
        bare->start();
        w.time.advance(400);
        const QString id = tea->idString(), app = "Larkspurhollow";
        QCOMPARE(w.notifier.posted,
                 (QList<Notification>{{bare->idString(), app, "⏱ Bare — Time's up!"},
                                      {id + "-prewarn", app, "🍵 Tea — 2m remaining!"},
                                      {id, app, "🍵 Tea — Time's up!"}}));
        QCOMPARE(w.log, (QStringList{"Bare:0", "Tea:2"}));  // the handler, then the notification
        QCOMPARE(formatWarningAmount(59) + formatWarningAmount(60), QStringLiteral("59s1m"));
    }

    // However a text comes (a file an earlier version wrote, an edit), a timer holds a bounded
    // name without controls and one emoji, and a notification shows the name on one line.
    void boundedTexts() {
        World w;
        w.files.write(kActiveTimersFile, R"([{"id":"6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E",)"
                                         R"("name":"Tea\nfor two\u0000","mode":"countdown",)"
                                         R"("totalDuration":1,"emoji":"🍵🍵🍵"}])");
        w.launch();
        TimerInstance* t = w.manager->timers().value(0);
        QVERIFY(t && t->name() == "Tea\nfor two" && t->emoji() == "🍵");
        t->start();
        w.time.advance(2);
        QCOMPARE(w.notifier.posted.value(0).body, "🍵 Tea for two — Time's up!");
        w.manager->applyEdit(t, QString(500, 'x'), "🚀🚀", 60);
        QVERIFY(t->name() == QString(200, 'x') && t->emoji() == "🚀");
    }
};

int runSoundTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestTimers timers;
    return QTest::qExec(&timers, argc, argv) | runSoundTests(argc, argv);
}

#include "tst_timers.moc"
