// The platform services against the real things they wrap: a second process, a notification
// service on a private bus, an X server, a PulseAudio daemon (see CMakeLists.txt for the runs).
#include <sys/stat.h>
#include <xcb/xcb.h>

#include <thread>
#include <tuple>

#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtDBus>
#include <QtTest>

#include "platform/QtScheduler.h"
#include "services/ClockWatcher.h"
#include "services/DBusNotifier.h"
#include "services/GlobalHotKeys.h"
#include "services/InstanceProtocol.h"
#include "services/LoginItem.h"
#include "services/LoopingPcmDevice.h"
#include "services/PcmDecoder.h"
#include "services/QtAudioPlayer.h"
#include "services/QuitSignals.h"
#include "services/SingleInstance.h"
#include "support/ManualTime.h"
#include "support/PrivatePulse.h"
#include "support/StdoutCapture.h"

using namespace larkspur;
using namespace larkspur::test;
using Calls = QList<QVariantList>;
using Role = SingleInstance::Role;
using Result = GlobalHotKeys::Result;
Q_DECLARE_METATYPE(wire::Limits)

namespace {

mode_t modeOf(const QString& path) {
    struct stat info = {};
    return ::lstat(QFile::encodeName(path), &info) == 0 ? info.st_mode : 0;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A second launch of the program: this executable claiming the single instance (see main); its
// role and what it printed. The event loop runs meanwhile, so that this process can answer.
std::pair<int, QString> launch(const QStringList& urls) {
    QProcess second;
    second.start(QCoreApplication::applicationFilePath(), QStringList{"--claim"} + urls);
    const bool ended = QTest::qWaitFor([&] { return !second.state(); }, 15000);
    return {ended ? second.exitCode() : -1, second.readAllStandardOutput()};
}

QByteArray wav(int rate, int channels, int bits, const QByteArray& data, QByteArray chunk = {}) {
    // The host is little-endian.
    const auto le = [](quint32 v, int n) { return QByteArray(reinterpret_cast<char*>(&v), n); };
    return "RIFF" + le(36 + chunk.size() + data.size(), 4) + "WAVE" + chunk + "fmt " + le(16, 4) +
           le(1, 2) + le(channels, 2) + le(rate, 4) + le(rate * channels * bits / 8, 4) +
           le(channels * bits / 8, 2) + le(bits, 2) + "data" + le(data.size(), 4) + data;
}

// The Notify calls the service logged, with ' for ", less the fields every one must carry.
QStringList notified(QProcess& mock) {
    static const QRegularExpression call(R"(Notify "Larkspurhollow" (\d+) "larkspurhollow" (.*) )"
                                         R"(\{"desktop-entry": "larkspurhollow"\} -1\n)");
    QStringList out;
    for (const auto& m : call.globalMatch(QString::fromUtf8(mock.peek(1 << 20))))
        out << QString(m.captured(1) + ' ' + m.captured(2)).replace('"', '\'');
    return out;
}

// Another X client's grab of Alt+Shift+`key` with `locks`: true when the server granted it.
// Xvfb's keyboard map has r, t and s on keycodes 27, 28 and 39.
bool grab(xcb_connection_t* x, xcb_keycode_t key, std::uint16_t locks) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const auto grab = xcb_grab_key_checked(x, 0, root, XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT | locks,
                                           key, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(x, grab);
    std::free(error);
    return !error;
}

}  // namespace

class TestServices : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    PrivatePulse pulse_;
    QString entry() const { return dir_.filePath("config/autostart/larkspurhollow.desktop"); }

private Q_SLOTS:
    // One folder for all: the files of each test have names of their own.
    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath("config")));
        if (!qEnvironmentVariableIsSet("LARKSPUR_NO_AUDIO_SERVER"))
            QVERIFY2(pulse_.start(), qPrintable(pulse_.error()));
    }

    void scheduler() {
        ManualTime time;
        QString log;
        TaskHandle later, self, dropped = time.after(0.2, [&] { log += 'x'; });
        auto a = time.after(0.1, [&] { later = time.after(0.05, [&] { log += 'l'; }); }),
             b = time.after(0.1, [&] { log += 'b'; }), tick = time.every(0.5, [&] { log += 't'; });
        dropped.cancel();
        std::ignore = time.after(0.2, [&] { log += 'y'; });  // its handle dies at once
        self = time.every(0.4, [&] { log += log.contains('s') ? 'S' : 's'; });
        time.advance(0.85);
        self.cancel();
        time.advance(1.2);
        QVERIFY(log == "blstSttt" && !a.isActive() && tick.isActive() && !self.isActive());
    }

    void quitSignals() {
        auto* quit = new QuitSignals;
        QuitSignals second;
        QVERIFY(!quit->install({SIGTERM, SIGSEGV}) && quit->install() && !second.install());
        QSignalSpy spy(quit, &QuitSignals::quitRequested);
        // The receiver may delete the sender while more signals wait.
        connect(quit, &QuitSignals::quitRequested, this,
                [&] { delete (spy.size() == 3 ? quit : nullptr); });
        for (int signal : {SIGHUP, SIGTERM, SIGINT, SIGTERM}) ::raise(signal);
        QVERIFY(spy.isEmpty());  // nothing runs inside the handler
        QTRY_COMPARE(Calls(spy), (Calls{{SIGHUP}, {SIGTERM}, {SIGINT}}));
        QVERIFY(second.install());  // the first one is gone, and its handlers with it
    }

    void singleInstance() {
        auto primary = std::make_unique<SingleInstance>();
        QVERIFY(writeFile(primary->socketPath(), "left over from a crash"));
        QVERIFY(primary->claim({}) == Role::Primary && S_ISSOCK(modeOf(primary->socketPath())));
        QSignalSpy got(primary.get(), &SingleInstance::urlsReceived);
        QCOMPARE(launch({"a://1", "", "b://x\ny", "c://Grüner Tee ☕"}).first, int(Role::Secondary));
        QCOMPARE(launch({"d://2"}).first, int(Role::Secondary));
        QCOMPARE(launch({}).first, int(Role::Secondary));  // shows the panel
        QTRY_COMPARE(Calls(got), (Calls{{QStringList{"a://1", "b://x y", "c://Grüner Tee ☕"}},
                                        {QStringList{"d://2"}},
                                        {QStringList{}}}));
        // Over the limits (the helper's: 64 bytes a frame): said, and the rest delivered.
        QCOMPARE(launch({"e://" + QString(70, 'e'), "f://3"}),
                 std::pair(int(Role::Undelivered),
                           "Single instance: 1 URL(s) were not delivered: over the limits of 63 "
                           "bytes per URL, 8388608 bytes and 1000000 URLs per launch\nSingle "
                           "instance: not delivered: e://" +
                               QString(70, 'e') + "\n"));
        QTRY_COMPARE(got.size(), 4);
        QCOMPARE(got.last(), QVariantList{QStringList{"f://3"}});
        // While the main thread is busy with one batch, the next launch is answered at once.
        QProcess next;
        int nextEnded = -1;
        connect(primary.get(), &SingleInstance::urlsReceived, this, [&](const QStringList& urls) {
            if (urls != QStringList{"busy://1"}) return;
            next.start(QCoreApplication::applicationFilePath(), {"--claim", "next://2"});
            nextEnded = next.waitForFinished(5000) ? next.exitCode() : -1;
        });
        QCOMPARE(launch({"busy://1"}).first, int(Role::Secondary));
        QTRY_COMPARE(got.size(), 6);
        QCOMPARE((std::pair{nextEnded, got.last()}),
                 (std::pair{int(Role::Secondary), QVariantList{QStringList{"next://2"}}}));
        // Something that connects and never answers is never taken over.
        QLocalServer mute;
        QVERIFY(mute.listen((primary.reset(), SingleInstance().socketPath())));
        QCOMPARE(launch({"g://4"}),
                 std::pair(int(Role::Unconfirmed),
                           QString("Single instance: the running program did not confirm within "
                                   "3 s; the URLs may still run\n")));
        QCOMPARE(SingleInstance(QString(200, 'n')).claim({}), Role::Failed);  // too long a path
        // Without a usable runtime folder: a folder of the user's own in the temporary folder.
        qputenv("TMPDIR", QFile::encodeName(dir_.path()));
        const QByteArray path = dir_.filePath("larkspurhollow-%1").arg(geteuid()).toLocal8Bit();
        const mode_t umaskWas = ::umask(0577);  // mode 0700 nonetheless
        QCOMPARE((qputenv("XDG_RUNTIME_DIR", "/none"), SingleInstance().claim({})), Role::Primary);
        QCOMPARE((::umask(umaskWas), modeOf(path)), S_IFDIR | 0700);
        // Refused and left as it is: group readable, a symlink, another user's.
        QVERIFY(qunsetenv("XDG_RUNTIME_DIR") && ::chmod(path, 0750) == 0);
        QVERIFY(SingleInstance().claim({}) == Role::Failed && modeOf(path) == (S_IFDIR | 0750));
        qputenv("XDG_RUNTIME_DIR", "relative");
        QVERIFY(QDir(path).removeRecursively() && ::symlink(dir_.path().toLocal8Bit(), path) == 0);
        QVERIFY(SingleInstance().claim({}) == Role::Failed && S_ISLNK(modeOf(path)));
        if (::unlink(path) || ::mkdir(path, 0700) || ::chown(path, 1, 1))
            QSKIP("only the superuser gives a folder away");
        QCOMPARE(SingleInstance().claim({}), Role::Failed);
    }

    // Peers that are no launch: each is let go, and a launch after them is taken.
    void strangers_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("peers");
        QTest::addColumn<int>("closedWithinMs");
        QTest::addRow("garbage") << QByteArray("\xff\xff\xff\xff\xff\xff") << 1 << 50;
        QTest::addRow("frame over the limit") << QByteArray("U\x00\x10\x00\x01", 5) << 1 << 50;
        QTest::addRow("not UTF-8") << wire::frame(wire::kUrls, "a://\xc3") << 1 << 50;
        QTest::addRow("silent: the deadline") << QByteArray() << 1 << 400;
        QTest::addRow("half a frame") << wire::frame(wire::kUrls, "a://1").left(7) << 1 << 400;
        // More than it keeps waiting: the oldest go at once, the launch is still taken.
        QTest::addRow("a crowd of silent ones") << QByteArray() << 40 << 400;
    }

    void strangers() {
        QFETCH(QByteArray, sent);
        QFETCH(int, peers);
        QFETCH(int, closedWithinMs);
        SingleInstance primary(QStringLiteral("strangers"));
        primary.setLimits({.frameBytes = 1 << 20, .requestMs = 300});
        QVERIFY(primary.claim({}) == Role::Primary);
        QSignalSpy got(&primary, &SingleInstance::urlsReceived);
        std::vector<std::unique_ptr<QLocalSocket>> sockets;
        for (int i = 0; i < peers; ++i) {
            sockets.push_back(std::make_unique<QLocalSocket>());
            sockets.back()->connectToServer(primary.socketPath());
            QVERIFY(sockets.back()->waitForConnected(1000));
            sockets.back()->write(sent);
            sockets.back()->flush();
        }
        QElapsedTimer clock;
        clock.start();
        SingleInstance launch(QStringLiteral("strangers"));
        QCOMPARE(launch.claim({"a://1"}), Role::Secondary);
        for (auto& socket : sockets) {
            QTRY_VERIFY_WITH_TIMEOUT(socket->state() == QLocalSocket::UnconnectedState, 2000);
            QVERIFY(socket->bytesAvailable() == 0);  // nothing was answered
        }
        QVERIFY2(clock.elapsed() <= closedWithinMs + 200, QByteArray::number(clock.elapsed()));
        QTRY_COMPARE(Calls(got), Calls{{QStringList{"a://1"}}});
    }

    // Requests at the edges: the moment the socket appears, and after one left unanswered.
    void unansweredRequests() {
        SingleInstance primary(QStringLiteral("early"));
        QByteArray ack;
        std::thread early([&ack, path = primary.socketPath()] {
            QLocalSocket socket;
            for (QDeadlineTimer end(5000); !end.hasExpired() && !socket.waitForConnected(0);)
                socket.connectToServer(path);
            socket.write(wire::encodeUrls({"early://1"}).bytes);
            if (socket.flush() && socket.waitForReadyRead(3000)) ack = socket.readAll();
        });
        const Role role = primary.claim({});
        QSignalSpy got(&primary, &SingleInstance::urlsReceived);
        early.join();
        QVERIFY(role == Role::Primary && ack == QByteArray(1, wire::kAck));
        QTRY_COMPARE(Calls(got), Calls{{QStringList{"early://1"}}});
        QSignalSpy asked(&primary, &SingleInstance::statusWanted);
        const auto ask = [&](QLocalSocket& socket) {
            socket.connectToServer(primary.socketPath());
            return socket.waitForConnected(1000) && socket.write(wire::frame(wire::kStatus)) &&
                   socket.flush();
        };
        auto lost = std::make_unique<QLocalSocket>();
        QVERIFY(ask(*lost));
        QTRY_COMPARE(asked.size(), 1);
        lost.reset();  // gave up before any answer came
        QLocalSocket next;
        QVERIFY(ask(next));
        QTRY_COMPARE(asked.size(), 2);
        primary.publishStatus("[]");
        const QByteArray reply = wire::frame(wire::kReply, "[]");
        QTRY_VERIFY(next.bytesAvailable() >= reply.size());
        QCOMPARE(next.readAll(), reply);
    }

    // Each limit leaves out exactly the URLs over it and says which; the rest arrive in order.
    void framing_data() {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<wire::Limits>("limits");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QStringList>("undelivered");
        const QString ten = "a://567890";
        QTest::addRow("one frame") << QStringList{ten, ten} << wire::Limits{} << 1 << QStringList{};
        QTest::addRow("split, 2 a frame")
            << QStringList(5, ten) << wire::Limits{.frameBytes = 22} << 3 << QStringList{};
        QTest::addRow("one alone over a frame")
            << QStringList{ten, ten + "1", ten} << wire::Limits{.frameBytes = 11} << 2
            << QStringList{ten + "1"};
        QTest::addRow("batch full: the rest too")
            << QStringList{ten, ten, "b://1", "c://"} << wire::Limits{.batchBytes = 22} << 1
            << QStringList{"b://1", "c://"};
        QTest::addRow("count") << QStringList{"a://", "b://", "c://"} << wire::Limits{.urls = 2}
                               << 1 << QStringList{"c://"};
        QTest::addRow("breaks, NULs and empties")
            << QStringList{"", "x\ny", "a\r\nb" + QString(QChar(0)) + "c"} << wire::Limits{} << 1
            << QStringList{};
        QTest::addRow("no URL: only the end")
            << QStringList{} << wire::Limits{} << 0 << QStringList{};
    }

    void framing() {
        QFETCH(QStringList, urls);
        QFETCH(wire::Limits, limits);
        QFETCH(int, frames);
        QFETCH(QStringList, undelivered);
        const wire::Batch batch = wire::encodeUrls(urls, limits);
        QStringList arrived;
        QByteArray rest = batch.bytes;
        int count = 0;
        while (rest.size() > wire::kHeaderBytes && rest.at(0) == wire::kUrls) {
            const qsizetype length = wire::payloadLength(rest.constData());
            QVERIFY(length <= limits.frameBytes && rest.size() >= wire::kHeaderBytes + length);
            arrived += wire::decodeUrls(rest.mid(wire::kHeaderBytes, length)).value();
            rest.remove(0, wire::kHeaderBytes + length);
            ++count;
        }
        QCOMPARE(rest, wire::frame(wire::kEnd));
        QCOMPARE(batch.undelivered, undelivered);
        QStringList expected;
        for (QString url : urls) {
            url.replace("\r\n", " ").replace('\n', ' ').remove(QChar(0));
            if (!url.isEmpty() && !undelivered.contains(url)) expected << url;
        }
        QCOMPARE(arrived, expected);
        QCOMPARE(count, frames);
    }

    void loginItem() {
        for (const auto& [program, exec] : {std::pair{"/opt/100%/a", "/opt/100%%/a"},
                                            {"/x/o'n;~", "\"/x/o'n;~\""},
                                            {"/x/\"$`\\", "\"/x/\\\\\"\\\\$\\\\`\\\\\\\\\""},
                                            {"/x/\nExec=y", "-"}})
            QCOMPARE(LoginItem::execValue(program).value_or("-"), exec);
        LoginItem item, missing(dir_.filePath("gone")), control(dir_.filePath("a\nb"));
        QSignalSpy changed(&item, &LoginItem::statusChanged);
        QSignalSpy errors(&item, &LoginItem::lastErrorChanged);
        StdoutCapture out;
        QVERIFY(item.update(true) && item.status());  // the folders are made
        // On: the entry is a file, and not Hidden=true in its main group.
        for (const auto& [text, on] : {std::pair{"Hidden=true\nHidden=0\n[A]\nHidden=true", true},
                                       {"#Hidden=true", true},
                                       {"Hidden = true\r", false}}) {
            QVERIFY(writeFile(entry(), QByteArray("[Desktop Entry]\r\n") + text));
            QCOMPARE(item.status(), on);
        }
        QVERIFY(item.registerItem() && item.registerItem() && item.status());
        QFile file(entry());
        const QByteArray exec =
            "\nExec=" + QFile::encodeName(QCoreApplication::applicationFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains(exec + '\n'));
        QVERIFY(item.update(false) && !item.status() && item.unregisterItem());
        // Failures: one line each; the entry and the status stay as they were.
        QVERIFY(QFile::link("/bin/sh", dir_.filePath("a\nb")) && QDir().mkpath(entry()));
        QVERIFY(!item.unregisterItem() && !item.registerItem() && !missing.registerItem());
        QVERIFY(!control.registerItem() && changed.count() == 3 && errors.count() == 2);
        QVERIFY(out.text().endsWith(kLoginItemFailurePrefix + control.lastError() + "\n"));
        QVERIFY(out.text().count(kLoginItemFailurePrefix) == 4 && out.text().count('\n') == 4);
        QVERIFY(QDir(entry()).removeRecursively() && item.unregisterItem());
        QVERIFY(item.lastError().isEmpty() && errors.count() == 3);  // a success clears it
    }

    void notifier() {
        DBusNotifier notifier;
        QList<Notification> fellBack;
        notifier.setFallback([&](const Notification& n) { fellBack.append(n); });
        QSignalSpy invoked(&notifier, &DBusNotifier::actionInvoked);
        notifier.requestPermission();
        QProcess mock;  // python3-dbusmock's notification service; it logs every call it gets
        // The python3 on the PATH may lack the dbus module.
        mock.start("/usr/bin/python3", {"-m", "dbusmock", "--session", "-t", "notification_daemon",
                                        "-p", R"({"capabilities": "body-markup actions"})"});
        QTRY_VERIFY(notifier.supportsActions());
        notifier.post({"a", QStringLiteral("Te\0a"), "M & <s>"}, {"stop", "Stop", "snooze"});
        QTRY_COMPARE(notifier.serverId("a"), 1u);
        // Without body support the body joins the summary, as it is; the body itself is escaped.
        // Same identifier: replaced, also while the earlier post is in flight, where only the
        // latest waiting one is sent. No identifier: never replaced.
        for (const char* id : {"a", "a", "a", "", ""}) notifier.post({id, id, {}});
        QTRY_COMPARE(notified(mock),
                     (QStringList{"0 'Tea: M & <s>' 'M &amp; &lt;s&gt;' ['stop', 'Stop']",
                                  "1 'a' '' []", "0 '' '' []", "0 '' '' []", "1 'a' '' []"}));
        for (uint id : {9u, 1u})  // 9 is another program's
            QDBusInterface("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                           "org.freedesktop.DBus.Mock")
                .call("EmitSignal", "", "ActionInvoked", "us", QVariantList{id, "stop"});
        QTRY_COMPARE(Calls(invoked), (Calls{{"a", "stop"}}));
        mock.kill(), mock.waitForFinished();
        QTRY_VERIFY(!notifier.capabilitiesKnown() && !notifier.serverId("a"));  // ids die with it
        notifier.post({"a", "Tea", "x"});
        QTRY_COMPARE(fellBack.size(), 1);
    }

    // The private session bus stands in for the system bus.
    void clockWatcher() {
        const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
        QDBusConnection logind = QDBusConnection::connectToBus(address, "logind"),
                        other = QDBusConnection::connectToBus(address, "other");
        QVERIFY(logind.registerService("org.freedesktop.login1"));
        ClockWatcher watcher(QDBusConnection::sessionBus());
        QSignalSpy moved(&watcher, &ClockWatcher::wallClockMoved);
        QVERIFY(watcher.watchesSleep() && watcher.watchesClockSteps());
        // Only logind's word counts, and only the wake.
        const QList<std::pair<QDBusConnection*, bool>> said = {
            {&other, false}, {&logind, true}, {&logind, false}, {&logind, true}, {&logind, false}};
        for (const auto& [bus, sleeping] : said)
            QVERIFY(bus->send(QDBusMessage::createSignal("/org/freedesktop/login1",
                                                         "org.freedesktop.login1.Manager",
                                                         "PrepareForSleep")
                              << sleeping));
        QTRY_COMPARE(moved.count(), 2);
        QTest::qWait(100);  // nothing more follows
        QCOMPARE(moved.count(), 2);
    }

    void hotKeys() {
        xcb_connection_t* other = xcb_connect(nullptr, nullptr);
        auto keys = std::make_unique<GlobalHotKeys>();
        QSignalSpy pressed(keys.get(), &GlobalHotKeys::activated);
        StdoutCapture out;
        QVERIFY(grab(other, 39, XCB_MOD_MASK_2));  // another program holds one lock variant of S
        QCOMPARE(keys->registerHotKey(2, Qt::ALT | Qt::SHIFT | Qt::Key_S), Result::Taken);
        QCOMPARE(keys->registerHotKey(1, Qt::ALT | Qt::SHIFT | Qt::Key_T), Result::Registered);
        QCOMPARE(keys->registerHotKey(3, Qt::ALT | Qt::SHIFT | Qt::Key_R), Result::Registered);
        QTRY_VERIFY(grab(other, 39, 0));  // so none of the variants of S was kept
        QCOMPARE(out.text(), "Hot key Alt+Shift+S is taken by another program\n");
        // In press order, whatever the locks; other modifiers are other keys; held is one press.
        const QString presses =
            "key alt+shift+t ctrl+alt+shift+t shift+r Num_Lock alt+shift+r "
            "Caps_Lock alt+shift+t alt+shift+s keydown alt+shift+r sleep 0.4 "
            "keyup r shift alt key Num_Lock alt+shift+r Caps_Lock";
        QCOMPARE(QProcess::execute("xdotool", presses.split(' ')), 0);
        QTRY_COMPARE(Calls(pressed), (Calls{{1u}, {3u}, {1u}, {3u}, {3u}}));
        keys.reset();  // lets go of every variant
        QTRY_VERIFY(grab(other, 28, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK) && grab(other, 27, 0));
        xcb_disconnect(other);
    }

    void pcmDecoder() {
        const QByteArray mono = QByteArray::fromHex("0100 feff ff7f 0080");
        const QByteArray both = QByteArray::fromHex("01000100 fefffeff ff7fff7f 00800080");
        const QByteArray odd = QByteArray::fromHex("6a756e6b 03000000 78797a00");  // a 3-byte chunk
        // A mono AIFF of the four samples, around the 80-bit extended number of its rate.
        const QByteArray aiff = "464f524d0000000041494646434f4d4d000000120001000000040010",
                         samples = "000000000000 53534e440000001000000000000000000001fffe7fff8000";
        // Null: not plain, so left to the media backend. Plain ones are decoded at once.
        for (const auto& [file, pcm] : {std::pair{wav(44100, 1, 16, mono), both},
                                        {wav(44100, 2, 16, mono, odd), mono},
                                        {wav(44100, 1, 8, mono), {}},
                                        {wav(44100, 1, 16, mono).chopped(1), {}},
                                        {QByteArray::fromHex(aiff + "400EAC44" + samples), both},
                                        {QByteArray::fromHex(aiff + "400DAC44" + samples), {}}}) {
            PcmDecoder decoder;
            QSignalSpy done(&decoder, &PcmDecoder::decoded);
            const QString path = dir_.filePath(QString::number(qHash(file)));  // cached by name
            decoder.start((writeFile(path, file), path));
            QCOMPARE(Calls(done), pcm.isNull() ? Calls{} : Calls{{pcm}});
        }
    }

    void loopingDevice() {
        const QByteArray pcm = QByteArray("0123456789").repeated(100);
        for (int passes : {0, 3, AudioPlayer::kEndless}) {
            LoopingPcmDevice device(pcm, passes);
            QByteArray all;
            while (all.size() < 5000 && !device.atEnd())
                all += device.read(std::min<qint64>(passes ? 999 : 7, 5000 - all.size()));
            QCOMPARE(all, pcm.repeated(passes ? 5 : 1).left(passes == 3 ? 3000 : 5000));
            QCOMPARE(device.exhausted(), passes >= 0);
        }
    }

    void audioPlayer() {
        QtAudioPlayer player(dir_.filePath("cache"));
        QSignalSpy completed(&player, &AudioPlayer::playCompleted);
        QSignalSpy finished(&player, &AudioPlayer::finished), failed(&player, &AudioPlayer::failed);
        const auto play = [&](const QString& url, int plays) {
            return player.open(QUrl(url)) && (player.setPlays(plays), player.play(), true);
        };
        // Half a second at 22.05 kHz goes through the media backend.
        QVERIFY(writeFile(dir_.filePath("a.wav"), wav(22050, 1, 16, QByteArray(22050, 1))) &&
                writeFile(dir_.filePath("noise.wav"), QByteArray(8000, '3')));
        const auto started = std::chrono::steady_clock::now();
        QVERIFY(play("file:" + dir_.filePath("a.wav"), 3) && player.isPlaying());
        QVERIFY(finished.wait(10000) && completed == (Calls{{1}, {2}, {3}}) && !player.isPlaying());
        // Counted as the server plays them, not as they are handed over: 3 x 0.5 s.
        QVERIFY(std::chrono::steady_clock::now() - started > std::chrono::milliseconds(1400));
        QVERIFY(play("qrc:/sounds/beep.aiff", AudioPlayer::kEndless));
        QTRY_VERIFY_WITH_TIMEOUT(completed.count() == 6, 10000);
        player.stop();
        QTest::qWait(600);
        QVERIFY(completed.count() == 6 && finished.count() == 1 && failed.isEmpty());
        QVERIFY(play("file:" + dir_.filePath("noise.wav"), 1));
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 10000);
    }

    // The run without X server, bus or audio server selects this alone.
    void withoutServers() {
        if (!qEnvironmentVariableIsSet("LARKSPUR_NO_AUDIO_SERVER")) QSKIP("has servers");
        StdoutCapture out;
        QCOMPARE(GlobalHotKeys().registerHotKey(1, Qt::Key_A), Result::Unavailable);
        QCOMPARE(out.text(), QStringLiteral("Global hot keys are unavailable: no X11 display\n"));
        QtAudioPlayer player(dir_.filePath("cache"));
        QSignalSpy failed(&player, &AudioPlayer::failed);
        QVERIFY(player.open(QUrl("qrc:/sounds/bell.aiff")) && (player.play(), true));
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);  // nowhere to play to: at once
        // Without a system bus only clock steps are heard, and that goes unsaid.
        QTest::failOnWarning(QRegularExpression("."));
        StdoutCapture quiet;
        const ClockWatcher clock;
        QVERIFY(!clock.watchesSleep() && clock.watchesClockSteps() && quiet.text().isEmpty());
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    TestServices test;
    if (app.arguments().value(1) != "--claim") return QTest::qExec(&test, argc, argv);
    SingleInstance instance;
    instance.setLimits({.frameBytes = 64});
    return int(instance.claim(app.arguments().mid(2)));
}

#include "tst_services.moc"
