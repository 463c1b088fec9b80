#include <QTest>

#include "integrations/UrlCommandHandler.h"
#include "support/FakePanel.h"
#include "support/StdoutCapture.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
struct World : PanelWorld {
    // Runs the URL; gives the webhook events it sent.
    QStringList run(const QString& url, const SharedManagers* with = nullptr) {
        UrlCommandHandler(with ? *with : shared).handleURL(url);
        return events();
    }
};
const QString kUrl = QStringLiteral("larkspurhollow://");
}  // namespace

class TestIntegrations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void start_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("timer");  // "name|duration|mode|emoji", empty for none
        auto row = [](const QString& url, const char* timer = "Timer|300|0|-") {
            QTest::addRow("%s", qPrintable(url)) << url << QString::fromUtf8(timer);
        };
        row("larkspurhollow://start?name=Tea&duration=180&emoji=%F0%9F%8D%B5", "Tea|180|0|🍵");
        row("larkspurhollow://start?name=Deep+Work&emoji=", "Deep+Work|300|0|");
        row("larkspurhollow://start?name=a=b%20c#x", "a=b c|300|0|-");
        row("larkspurhollow://start?name=A&name");
        row("larkspurhollow://u@start:80");
        row("larkspurhollow://@start?mode=loop&duration=2", "Timer|2|2|-");
        row("larkspurhollow://start?mode=Stopwatch&duration=+1e3", "Timer|1000|0|-");
        row("larkspurhollow://start/x?mode=stopwatch&duration=0", "Timer|0|1|-");
        // Not finite, negative or not wholly a number: the default.
        for (const char* d : {"nan", "inf", "1e999", "-5", "+-5", "+-0", "90s"})
            row(kUrl + "start?duration=" + d);
        for (const char* url :
             {"larkspurhollow://Start", "Larkspurhollow://start", "larkspurhollow:start",
              "larkspurhollow://explode", "larkspurhollow://start?name=%41%z4", "start"})
            row(url, "");
    }
    void start() {
        QFETCH(QString, url);
        QFETCH(QString, timer);
        World w;
        QCOMPARE(w.run(url), timer.isEmpty() ? QStringList() : QStringList{"timer.started"});
        QCOMPARE(w.manager.timers().size(), qsizetype(!timer.isEmpty()));
        if (timer.isEmpty()) return;
        const TimerInstance* t = w.manager.timers().first();
        QCOMPARE(QString::asprintf("%s|%g|%d|%s", qUtf8Printable(t->name()), t->totalDuration(),
                                   int(t->mode()), qUtf8Printable(t->emoji().value_or("-"))),
                 timer);
        QCOMPARE(t->state(), TimerState::Running);
        w.run(url);  // the panel is up already
        QCOMPARE(w.panel.shows, 1);
    }

    void commands() {
        World w;
        QList<TimerInstance*> t;
        for (double duration : {60, 60, 1, 60}) t << w.add("T", duration);
        for (int i : {0, 1, 2}) t[i]->start();
        t[1]->pause();
        w.time.advance(2);
        QCOMPARE(w.run(kUrl + "pause"), QStringList(2, "timer.paused"));  // per paused timer
        QCOMPARE(w.run(kUrl + "resume"), QStringList());
        QCOMPARE(t[1]->state(), TimerState::Running);
        QCOMPARE(w.run(kUrl + "reset"), QStringList(4, "timer.reset"));
        for (const TimerInstance* each : t) QCOMPARE(each->state(), TimerState::Idle);
        w.run(kUrl + "toggle");
        w.run(kUrl + "toggle");
        QVERIFY(w.panel.shows == 1 && w.panel.hides == 1);
        w.run(kUrl + "stop");
        QVERIFY(w.manager.timers().isEmpty());

        // Absent managers and panel make the commands do less, never fail.
        SharedManagers none, timersOnly{&w.manager, {}, {}, {}, {}, {}, {}};
        for (const char* cmd : {"start", "pause", "reset", "toggle"})
            QCOMPARE(w.run(kUrl + cmd, &none) + w.run(kUrl + cmd, &timersOnly), QStringList());
        QCOMPARE(w.manager.timers().first()->state(), TimerState::Idle);
    }

    void delivery_data() {
        QTest::addColumn<QString>("address");  // RECEIVER: the test's receiver
        QTest::addColumn<int>("status");       // of the receiver
        QTest::addColumn<bool>("logged");
        QTest::newRow("ok") << "http://RECEIVER" << 200 << false;
        QTest::newRow("server error is delivered") << "HTTP://RECEIVER" << 500 << false;
        QTest::newRow("refused") << "http://127.0.0.1:1/x" << 200 << true;
        QTest::newRow("absent") << "" << 200 << false;
        QTest::newRow("not a URL") << "http://exa mple.com/" << 200 << false;
        QTest::newRow("foreign scheme") << "ftp://127.0.0.1/x" << 200 << true;
        QTest::newRow("no host") << "http:///x" << 200 << true;
    }
    void delivery() {
        QFETCH(QString, address);
        QFETCH(int, status);
        QFETCH(bool, logged);
        const bool sent = address.contains("RECEIVER");
        TimerWorld w(
            clockReadingOf(QDateTime::fromString("2026-03-01T14:05:09.750Z", Qt::ISODate)));
        HttpReceiver receiver(status);
        WebhookManager webhooks(w.files.storage, w.time);
        QSignalSpy changed(&webhooks, &WebhookManager::webhookURLChanged);
        address.replace("RECEIVER", receiver.url().mid(7));
        webhooks.setWebhookUrlText(address);
        webhooks.setWebhookUrlText(address);  // stored again, but no change
        QCOMPARE(changed.size(), int(!address.isEmpty()));
        QCOMPARE(WebhookManager(w.files.storage, w.time).webhookUrlText(), address);
        StdoutCapture out;
        webhooks.sendTest();
        QTRY_COMPARE(receiver.requests.size(), int(sent));
        if (logged) QTRY_VERIFY(out.text().startsWith("Webhook error: "));
        QTest::qWait(sent ? 50 : 0);  // the answer
        QCOMPARE(out.text().count('\n'), int(logged));
        if (!sent) return;
        const HttpReceiver::Request& r = receiver.requests.first();  // compact JSON
        QVERIFY(r.head.contains("Content-Type: application/json"));
        QCOMPARE(r.body, QByteArray(R"({"event":"timer.test","timer_duration":300,)"
                                    R"("timer_emoji":"🧪","timer_name":"Test Timer",)"
                                    R"("timestamp":"2026-03-01T14:05:09Z"})"));
    }
};

QTEST_GUILESS_MAIN(TestIntegrations)
#include "tst_integrations.moc"
