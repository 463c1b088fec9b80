#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include "engine/TimerInstance.h"
#include "integrations/WebhookManager.h"
#include "support/HttpReceiver.h"
#include "support/ManualTime.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
TimerData tea() {
    TimerData t;
    t.id = QUuid::createUuid();
    t.name = QStringLiteral("Tea");
    t.totalDuration = 1500;
    return t;
}

// 2026-03-01T14:05:09Z, plus a fraction that must not show.
constexpr double kMarch1 = 1772373909.75 - kReferenceDateOffset;
}  // namespace

class TestWebhookManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartWritesNull();
    void everyAssignmentWrites();
    void unreadableFileIsReportedAndReplaced();
    void payloadFields();
    void postsJsonToReceiver();
    void testEvent();
    void nothingSent_data();
    void nothingSent();
    void serverErrorIsNotLogged();
    void unreachableIsLoggedOnce();
};

void TestWebhookManager::firstStartWritesNull() {
    TempStorage files;
    ManualTime time;
    WebhookManager webhooks(files.storage, time);
    QVERIFY(!webhooks.webhookURL());
    QCOMPARE(files.read(kWebhookUrlFile), QByteArray("null"));
}

void TestWebhookManager::everyAssignmentWrites() {
    TempStorage files;
    ManualTime time;
    WebhookManager webhooks(files.storage, time);
    QSignalSpy changed(&webhooks, &WebhookManager::webhookURLChanged);
    webhooks.setWebhookUrlText(QStringLiteral("http://127.0.0.1:1/a"));
    QFile::remove(files.path(kWebhookUrlFile));
    webhooks.setWebhookUrlText(QStringLiteral("http://127.0.0.1:1/a"));
    QCOMPARE(files.read(kWebhookUrlFile), QByteArray("\"http://127.0.0.1:1/a\""));
    QCOMPARE(changed.count(), 1);
    webhooks.setWebhookUrlText(QString());
    QCOMPARE(files.read(kWebhookUrlFile), QByteArray("null"));
    WebhookManager again(files.storage, time);
    QVERIFY(!again.webhookURL());
}

void TestWebhookManager::unreadableFileIsReportedAndReplaced() {
    TempStorage files;
    files.write(kWebhookUrlFile, "{\"url\":1}");
    ManualTime time;
    StdoutCapture out;
    WebhookManager webhooks(files.storage, time);
    QVERIFY(out.text().startsWith("StorageManager load error: "));
    QCOMPARE(files.read(kWebhookUrlFile), QByteArray("null"));
    QCOMPARE(QDir(files.storage.directory()).entryList({"webhook-url.json.unreadable-*"}).size(),
             1);
}

void TestWebhookManager::payloadFields() {
    TimerData t = tea();
    QJsonObject p = WebhookManager::payload("timer.completed", t, kMarch1);
    QCOMPARE(p.keys(),
             (QStringList{"event", "timer_duration", "timer_emoji", "timer_name", "timestamp"}));
    QCOMPARE(p.value("timer_emoji").toString(), QString());
    QCOMPARE(p.value("timer_duration").toDouble(), 1500.0);
    QCOMPARE(p.value("timestamp").toString(), QStringLiteral("2026-03-01T14:05:09Z"));
    t.emoji = QStringLiteral("🍵");
    p = WebhookManager::payload("timer.started", t, kMarch1);
    QCOMPARE(p.value("timer_emoji").toString(), QStringLiteral("🍵"));
}

void TestWebhookManager::postsJsonToReceiver() {
    TempStorage files;
    ManualTime time;
    HttpReceiver receiver;
    WebhookManager webhooks(files.storage, time);
    webhooks.setWebhookUrlText(receiver.url("/events?x=1"));
    webhooks.fire("timer.started", tea());
    QTRY_COMPARE(receiver.requests.size(), 1);
    const auto& r = receiver.requests.first();
    QCOMPARE(r.method, QByteArray("POST"));
    QCOMPARE(r.path, QByteArray("/events?x=1"));
    QCOMPARE(r.headers.value("content-type"), QByteArray("application/json"));
    QVERIFY(!r.body.contains(' '));
    QCOMPARE(r.json().value("event").toString(), QStringLiteral("timer.started"));
    QCOMPARE(r.json().value("timer_name").toString(), QStringLiteral("Tea"));
}

void TestWebhookManager::testEvent() {
    TempStorage files;
    ManualTime time;
    HttpReceiver receiver;
    WebhookManager webhooks(files.storage, time);
    webhooks.setWebhookUrlText(receiver.url());
    webhooks.sendTest();
    QTRY_COMPARE(receiver.requests.size(), 1);
    const QJsonObject body = receiver.requests.first().json();
    QCOMPARE(body.value("event").toString(), QStringLiteral("timer.test"));
    QCOMPARE(body.value("timer_name").toString(), QStringLiteral("Test Timer"));
    QCOMPARE(body.value("timer_duration").toDouble(), 300.0);
    QCOMPARE(body.value("timer_emoji").toString(), QStringLiteral("🧪"));
}

void TestWebhookManager::nothingSent_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("logged");
    QTest::newRow("absent") << QString() << false;
    QTest::newRow("not a url") << "http://exa mple.com/" << false;
    QTest::newRow("foreign scheme") << "ftp://127.0.0.1/x" << true;
    QTest::newRow("file scheme") << "file:///etc/passwd" << true;
    QTest::newRow("relative") << "hooks" << true;
    QTest::newRow("no host") << "http:///x" << true;
}

void TestWebhookManager::nothingSent() {
    QFETCH(QString, address);
    QFETCH(bool, logged);
    TempStorage files;
    ManualTime time;
    WebhookManager webhooks(files.storage, time);
    webhooks.setWebhookUrlText(address);
    QSignalSpy sent(&webhooks, &WebhookManager::requestSent);
    StdoutCapture out;
    webhooks.fire("timer.started", tea());
    QCOMPARE(sent.count(), 0);
    const QString text = out.text();
    QCOMPARE(text.startsWith("Webhook error: "), logged);
    QCOMPARE(text.count('\n'), logged ? 1 : 0);
}

void TestWebhookManager::serverErrorIsNotLogged() {
    TempStorage files;
    ManualTime time;
    HttpReceiver receiver(500);
    WebhookManager webhooks(files.storage, time);
    webhooks.setWebhookUrlText(receiver.url());
    StdoutCapture out;
    webhooks.fire("timer.reset", tea());
    QTRY_COMPARE(receiver.requests.size(), 1);
    QTest::qWait(50);  // let the reply finish
    QCOMPARE(out.text(), QString());
}

void TestWebhookManager::unreachableIsLoggedOnce() {
    quint16 closedPort = 0;
    {
        QTcpServer probe;  // a port that was free a moment ago and is closed now
        probe.listen(QHostAddress::LocalHost);
        closedPort = probe.serverPort();
    }
    TempStorage files;
    ManualTime time;
    WebhookManager webhooks(files.storage, time);
    webhooks.setWebhookUrlText(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort));
    StdoutCapture out;
    webhooks.fire("timer.completed", tea());
    QTRY_VERIFY(out.text().startsWith("Webhook error: "));
    QCOMPARE(out.text().count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestWebhookManager)
#include "tst_webhookmanager.moc"
