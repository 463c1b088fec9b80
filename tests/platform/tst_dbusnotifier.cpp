#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "platform/DBusNotifier.h"
#include "support/StdoutCapture.h"

using larkspur::DBusNotifier;
using larkspur::Notification;

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kMockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

struct NotifyCall {
    QString appName;
    uint replacesId = 0;
    QString icon, summary, body;
    QStringList actions;
    QVariantMap hints;
    int timeout = 0;
};

QDBusMessage callMock(const QString& interface, const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

// A notification service of python3-dbusmock that records every call it gets.
class MockService {
public:
    ~MockService() { stop(); }

    // `capabilities` replaces the template's defaults unless it is null.
    bool start(const QString& capabilities = QString()) {
        QStringList args{"-m", "dbusmock", "--session", "-t", "notification_daemon"};
        if (!capabilities.isNull())
            args << "-p" << QStringLiteral("{\"capabilities\": \"%1\"}").arg(capabilities);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QDBusServiceWatcher watcher(kService, QDBusConnection::sessionBus(),
                                    QDBusServiceWatcher::WatchForRegistration);
        QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
        // The interpreter on the PATH may lack the dbus module.
        process_.start(QStringLiteral("/usr/bin/python3"), args);
        return registered.wait(15000);
    }

    void stop() {
        if (process_.state() == QProcess::NotRunning) return;
        QDBusServiceWatcher watcher(kService, QDBusConnection::sessionBus(),
                                    QDBusServiceWatcher::WatchForUnregistration);
        QSignalSpy gone(&watcher, &QDBusServiceWatcher::serviceUnregistered);
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
        if (gone.isEmpty()) gone.wait(5000);
    }

    // The argument lists of every call of `method` the service received.
    QList<QVariantList> callsOf(const QString& method) const {
        QList<QVariantList> calls;
        const QDBusMessage reply =
            callMock(kMockInterface, QStringLiteral("GetMethodCalls"), {method});
        if (reply.type() != QDBusMessage::ReplyMessage) return calls;
        const auto log = reply.arguments().value(0).value<QDBusArgument>();
        log.beginArray();
        while (!log.atEnd()) {
            quint64 stamp = 0;
            QVariantList args;
            log.beginStructure();
            log >> stamp >> args;
            log.endStructure();
            calls.append(args);
        }
        log.endArray();
        return calls;
    }

    QList<NotifyCall> notifyCalls() const {
        QList<NotifyCall> calls;
        for (const QVariantList& a : callsOf(QStringLiteral("Notify"))) {
            if (a.size() != 8) continue;
            calls.append({a[0].toString(), a[1].toUInt(), a[2].toString(), a[3].toString(),
                          a[4].toString(), a[5].toStringList(),
                          qdbus_cast<QVariantMap>(a[6].value<QDBusArgument>()), a[7].toInt()});
        }
        return calls;
    }

    // "<replaces_id>:<summary>" of every Notify call, for compact comparisons.
    QStringList replacements() const {
        QStringList out;
        for (const NotifyCall& c : notifyCalls())
            out << QStringLiteral("%1:%2").arg(c.replacesId).arg(c.summary);
        return out;
    }

    void emitSignal(const QString& name, const QString& signature, const QVariantList& args) {
        callMock(kMockInterface, QStringLiteral("EmitSignal"),
                 {QString(), name, signature, QVariant::fromValue(args)});
    }

private:
    QProcess process_;
};

enum class Outage { NoService, ServiceStopped, NoBus };

}  // namespace

Q_DECLARE_METATYPE(Outage)

class TestDBusNotifier : public QObject {
    Q_OBJECT

    QTemporaryDir busDir_;
    QProcess bus_;
    MockService mock_;
    QList<Notification> fellBack_;

    std::unique_ptr<DBusNotifier> makeNotifier() {
        auto notifier = std::make_unique<DBusNotifier>();
        notifier->setFallback([this](const Notification& n) { fellBack_.append(n); });
        return notifier;
    }

private Q_SLOTS:
    void initTestCase() {
        // A bus of our own without service files, so nothing else can be activated as the
        // notification service.
        QFile config(busDir_.filePath(QStringLiteral("bus.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("<busconfig><type>session</type>"
                                    "<listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                                    "<policy context=\"default\"><allow send_destination=\"*\"/>"
                                    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                                    "</busconfig>")
                         .arg(busDir_.path())
                         .toUtf8());
        config.close();
        bus_.start(QStringLiteral("dbus-daemon"),
                   {"--config-file=" + config.fileName(), "--print-address", "--nofork"});
        QVERIFY2(bus_.waitForStarted(5000), "dbus-daemon did not start");
        while (!bus_.canReadLine()) QVERIFY(bus_.waitForReadyRead(5000));
        // Must be set before the first use of the session bus in this process.
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus_.readLine().trimmed());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kService));
    }

    void cleanupTestCase() {
        bus_.terminate();
        bus_.waitForFinished(5000);
    }

    void cleanup() {
        mock_.stop();
        fellBack_.clear();
    }

    void postSendsEveryField() {
        QVERIFY(mock_.start());
        auto notifier = makeNotifier();
        notifier->post({QStringLiteral("t1"), QStringLiteral("Tea"), QStringLiteral("Steeped")});
        QTRY_COMPARE(mock_.notifyCalls().size(), 1);
        const NotifyCall call = mock_.notifyCalls().constFirst();
        QCOMPARE(call.appName, QStringLiteral("Larkspurhollow"));
        QCOMPARE(call.replacesId, 0u);
        QCOMPARE(call.icon, QStringLiteral("larkspurhollow"));
        QCOMPARE(call.summary, QStringLiteral("Tea"));
        QCOMPARE(call.body, QStringLiteral("Steeped"));
        QCOMPARE(call.actions, QStringList());
        QCOMPARE(call.hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("larkspurhollow"));
        QCOMPARE(call.timeout, -1);
        QTRY_COMPARE(notifier->serverId(QStringLiteral("t1")), 1u);
        QVERIFY(fellBack_.isEmpty());
    }

    void replacement_data() {
        QTest::addColumn<QStringList>("identifiers");
        QTest::addColumn<bool>("awaitReplies");
        QTest::addColumn<QStringList>("expected");  // replaces_id:summary per call
        QTest::newRow("same identifier after the reply")
            << QStringList{"a", "a"} << true << QStringList{"0:s0", "1:s1"};
        QTest::newRow("same identifier back to back")
            << QStringList{"a", "a"} << false << QStringList{"0:s0", "1:s1"};
        QTest::newRow("only the latest waiting post is sent")
            << QStringList{"a", "a", "a"} << false << QStringList{"0:s0", "1:s2"};
        QTest::newRow("different identifiers")
            << QStringList{"a", "b"} << false << QStringList{"0:s0", "0:s1"};
        QTest::newRow("interleaved") << QStringList{"a", "b", "a", "b"} << true
                                     << QStringList{"0:s0", "0:s1", "1:s2", "2:s3"};
        QTest::newRow("empty identifiers never replace")
            << QStringList{"", ""} << false << QStringList{"0:s0", "0:s1"};
    }
    void replacement() {
        QFETCH(QStringList, identifiers);
        QFETCH(bool, awaitReplies);
        QFETCH(QStringList, expected);
        QVERIFY(mock_.start());
        auto notifier = makeNotifier();
        for (int i = 0; i < identifiers.size(); ++i) {
            notifier->post({identifiers[i], QStringLiteral("s%1").arg(i), QString()});
            if (awaitReplies) QTRY_VERIFY(notifier->serverId(identifiers[i]) != 0);
        }
        QTRY_COMPARE(mock_.replacements(), expected);
        QVERIFY(fellBack_.isEmpty());
    }

    void closedNotificationIsForgotten() {
        QVERIFY(mock_.start());
        auto notifier = makeNotifier();
        notifier->post({QStringLiteral("a"), QStringLiteral("s0"), QString()});
        QTRY_COMPARE(notifier->serverId(QStringLiteral("a")), 1u);
        callMock(kService, QStringLiteral("CloseNotification"), {1u});
        QTRY_COMPARE(notifier->serverId(QStringLiteral("a")), 0u);
        notifier->post({QStringLiteral("a"), QStringLiteral("s1"), QString()});
        QTRY_COMPARE(notifier->serverId(QStringLiteral("a")), 2u);
        QCOMPARE(mock_.replacements(), (QStringList{"0:s0", "0:s1"}));
    }

    void actionsArePassed_data() {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("two pairs") << QStringList{"snooze", "Snooze", "stop", "Stop"}
                                   << QStringList{"snooze", "Snooze", "stop", "Stop"};
        QTest::newRow("key without label") << QStringList{"snooze"} << QStringList{};
        QTest::newRow("trailing key") << QStringList{"a", "A", "b"} << QStringList{"a", "A"};
        QTest::newRow("none") << QStringList{} << QStringList{};
    }
    void actionsArePassed() {
        QFETCH(QStringList, given);
        QFETCH(QStringList, sent);
        QVERIFY(mock_.start());
        auto notifier = makeNotifier();
        notifier->post({QStringLiteral("a"), QStringLiteral("T"), QString()}, given);
        QTRY_COMPARE(mock_.notifyCalls().size(), 1);
        QCOMPARE(mock_.notifyCalls().constFirst().actions, sent);
    }

    void actionInvokedNamesTheIdentifier() {
        QVERIFY(mock_.start());
        auto notifier = makeNotifier();
        QSignalSpy spy(notifier.get(), &DBusNotifier::actionInvoked);
        const QStringList actions{"snooze", "Snooze", "stop", "Stop"};
        notifier->post({QStringLiteral("a"), QStringLiteral("A"), QString()}, actions);
        notifier->post({QStringLiteral("b"), QStringLiteral("B"), QString()}, actions);
        QTRY_COMPARE(notifier->serverId(QStringLiteral("b")), 2u);
        // Another program's notification: not ours to report.
        mock_.emitSignal(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {99u, "stop"});
        mock_.emitSignal(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {2u, "stop"});
        mock_.emitSignal(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {1u, "snooze"});
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0), (QVariantList{"b", "stop"}));
        QCOMPARE(spy.at(1), (QVariantList{"a", "snooze"}));
    }

    void capabilities_data() {
        QTest::addColumn<QString>("offered");  // null: the template's defaults
        QTest::addColumn<bool>("actions");
        QTest::addColumn<bool>("body");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("sentBody");
        QTest::newRow("defaults with markup") << QString() << false << true << "Tea"
                                              << "Milk &amp; &lt;sugar&gt;";
        QTest::newRow("actions and plain body") << "actions body" << true << true << "Tea"
                                                << "Milk & <sugar>";
        QTest::newRow("no body") << "actions" << true << false << "Tea: Milk & <sugar>"
                                 << "Milk & <sugar>";
        QTest::newRow("nothing") << "" << false << false << "Tea: Milk & <sugar>"
                                 << "Milk & <sugar>";
    }
    void capabilities() {
        QFETCH(QString, offered);
        QFETCH(bool, actions);
        QFETCH(bool, body);
        QFETCH(QString, summary);
        QFETCH(QString, sentBody);
        QVERIFY(mock_.start(offered));
        auto notifier = makeNotifier();
        QSignalSpy changed(notifier.get(), &DBusNotifier::capabilitiesChanged);
        QVERIFY(!notifier->capabilitiesKnown());
        notifier->requestPermission();
        notifier->requestPermission();
        QVERIFY(changed.wait(5000));
        QVERIFY(notifier->capabilitiesKnown());
        QCOMPARE(notifier->supportsActions(), actions);
        QCOMPARE(notifier->supportsBody(), body);
        QCOMPARE(mock_.callsOf(QStringLiteral("GetCapabilities")).size(), 1);
        notifier->post(
            {QStringLiteral("a"), QStringLiteral("Tea"), QStringLiteral("Milk & <sugar>")});
        QTRY_COMPARE(mock_.notifyCalls().size(), 1);
        QCOMPARE(mock_.notifyCalls().constFirst().summary, summary);
        QCOMPARE(mock_.notifyCalls().constFirst().body, sentBody);
    }

    void fallback_data() {
        QTest::addColumn<Outage>("outage");
        QTest::newRow("no service on the bus") << Outage::NoService;
        QTest::newRow("service went away") << Outage::ServiceStopped;
        QTest::newRow("no bus at all") << Outage::NoBus;
    }
    void fallback() {
        QFETCH(Outage, outage);
        std::unique_ptr<DBusNotifier> notifier;
        if (outage == Outage::NoBus) {
            notifier = std::make_unique<DBusNotifier>(QDBusConnection::connectToBus(
                "unix:path=" + busDir_.filePath(QStringLiteral("absent")), QStringLiteral("dead")));
            notifier->setFallback([this](const Notification& n) { fellBack_.append(n); });
        } else {
            notifier = makeNotifier();
        }
        if (outage == Outage::ServiceStopped) {
            QVERIFY(mock_.start());
            notifier->post({QStringLiteral("a"), QStringLiteral("shown"), QString()});
            QTRY_COMPARE(notifier->serverId(QStringLiteral("a")), 1u);
            mock_.stop();
        }
        notifier->requestPermission();
        const Notification n{QStringLiteral("a"), QStringLiteral("Tea"), QStringLiteral("Ready")};
        notifier->post(n);
        QTRY_COMPARE(fellBack_, QList<Notification>{n});
        QVERIFY(!notifier->capabilitiesKnown());
        if (outage == Outage::NoBus) return;
        // The service is used again as soon as it is back, without the ids of the old one.
        QVERIFY(mock_.start());
        notifier->post(n);
        QTRY_COMPARE(mock_.replacements(), QStringList{"0:Tea"});
        QCOMPARE(fellBack_.size(), 1);
    }

    void logsWithoutFallback() {
        DBusNotifier notifier(QDBusConnection::connectToBus(
            "unix:path=" + busDir_.filePath(QStringLiteral("absent")), QStringLiteral("dead2")));
        larkspur::test::StdoutCapture capture;
        notifier.post({QStringLiteral("a"), QStringLiteral("Tea"), QStringLiteral("Ready")});
        QCOMPARE(capture.text(), QStringLiteral("Notification: Tea: Ready\n"));
    }

    void awkwardText_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<qsizetype>("bodySize");
        QTest::newRow("NUL inside") << QStringLiteral("Te\0a") << QString(QChar(u'\0'))
                                    << QStringLiteral("Tea") << qsizetype(0);
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'x' << QStringLiteral("b")
                                        << QStringLiteral("?x") << qsizetype(1);
        QTest::newRow("long body") << QStringLiteral("Long") << QString(100000, u'x')
                                   << QStringLiteral("Long") << qsizetype(100000);
        QTest::newRow("empty") << QString() << QString() << QString() << qsizetype(0);
    }
    void awkwardText() {
        QFETCH(QString, title);
        QFETCH(QString, body);
        QFETCH(QString, summary);
        QFETCH(qsizetype, bodySize);
        QVERIFY(mock_.start());
        auto notifier = makeNotifier();
        notifier->post({QStringLiteral("a"), title, body});
        QTRY_COMPARE(notifier->serverId(QStringLiteral("a")), 1u);
        const NotifyCall call = mock_.notifyCalls().value(0);
        QCOMPARE(call.summary, summary);
        QCOMPARE(call.body.size(), bodySize);
        QVERIFY(fellBack_.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDBusNotifier)
#include "tst_dbusnotifier.moc"
