#include <QJsonDocument>
#include <QTest>

#include "integrations/UrlCommandHandler.h"
#include "support/FakePanel.h"
#include "support/StdoutCapture.h"
#include "ui/TimerListModel.h"

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
        auto row = [](const QString& url, const QString& timer = "Timer|300|0|-") {
            QTest::addRow("%s", qPrintable(url.left(80))) << url << timer;
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
        // Names and emoji are bounded as they come in: 200 units cut between two characters,
        // one character (a family or a flag included) of an emoji; controls void the command.
        const QString a199(199, 'a'), start = kUrl + "start?name=";
        row(start + QString(300, 'a'), QString(200, 'a') + "|300|0|-");
        row(start + a199 + "%F0%9F%8D%B5", a199 + "|300|0|-");
        row(start + "Two%0Alines%09tab", "Two\nlines\ttab|300|0|-");
        row(kUrl + "start?emoji=" + QString("%F0%9F%8D%B5").repeated(5000), "Timer|300|0|🍵");
        row(kUrl + "start?emoji=%F0%9F%91%A8%E2%80%8D%F0%9F%91%A9%E2%80%8D%F0%9F%91%A7x",
            "Timer|300|0|👨‍👩‍👧");
        row(kUrl + "start?emoji=%F0%9F%87%B3%F0%9F%87%B1%F0%9F%87%B3", "Timer|300|0|🇳🇱");
        row(kUrl + "start?emoji=e" + QString("%CC%81").repeated(100),
            "Timer|300|0|e" + QString(QChar(0x301)).repeated(31));
        for (const char* url :
             {"start?name=a%00b", "start?name=%1F", "start?name=%7F", "start?name=%C2%85"})
            row(kUrl + url, "");
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
        WebhookManager webhooks(w.files.storage, w.time, w.time);
        QSignalSpy changed(&webhooks, &WebhookManager::webhookURLChanged);
        address.replace("RECEIVER", receiver.url().mid(7));
        webhooks.setWebhookUrlText(address);
        webhooks.setWebhookUrlText(address);  // stored again, but no change
        QCOMPARE(changed.size(), int(!address.isEmpty()));
        QCOMPARE(WebhookManager(w.files.storage, w.time, w.time).webhookUrlText(), address);
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

    // A batch of commands reaches the list as few signals, rows in the manager's order.
    void batch() {
        World w;
        TimerListModel model;
        model.setTimerManager(&w.manager);
        w.add("Old", 60);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&w.manager, &TimerManager::timersChanged);
        UrlCommandHandler(w.shared).handleURLs({kUrl + "start?name=A", kUrl + "start?name=B",
                                                kUrl + "stop", kUrl + "start?name=C",
                                                kUrl + "start?name=D"});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(inserted.size(), 2);  // A and B before they go, then C and D
        QStringList rows;
        for (int i = 0; i < model.rowCount(); ++i)
            rows << model.data(model.index(i), TimerListModel::TimerRole)
                        .value<TimerInstance*>()
                        ->name();
        QCOMPARE(rows, (QStringList{"C", "D"}));
        QCOMPARE(w.manager.timers().size(), 2);
    }

    // Fired in one go, events wait for the event loop: six leave, a hundred wait, the oldest of
    // the rest are dropped, and the drops are told at once and then once a minute.
    void webhookBacklog() {
        World w;
        StdoutCapture out;
        for (int i = 0; i < 117; ++i) w.webhooks.fire(QString("e%1").arg(i), *w.add("T", 60));
        TimerInstance* one = w.add("One", 60);
        for (const char* event : {"a1", "a2", "a3"}) w.webhooks.fire(event, *one);
        QStringList expected;
        for (int i : {0, 1, 2, 3, 4, 5}) expected << QString("e%1").arg(i);
        for (int i = 20; i < 117; ++i) expected << QString("e%1").arg(i);
        expected << "a1"
                 << "a2"
                 << "a3";  // one timer's events leave one after the other
        QTRY_COMPARE(w.receiver.requests.size(), expected.size());
        QStringList received;
        for (const HttpReceiver::Request& r : std::as_const(w.receiver.requests))
            received << QJsonDocument::fromJson(r.body)["event"].toString();
        QCOMPARE(received.mid(expected.size() - 3), expected.mid(expected.size() - 3));
        received.sort();
        expected.sort();
        QCOMPARE(received, expected);
        w.time.advance(60);
        w.time.advance(60);
        QCOMPARE(out.text(),
                 "Webhook error: the receiver does not keep up, 1 event(s) dropped\n"
                 "Webhook error: the receiver does not keep up, 13 event(s) dropped\n");
    }
};

QTEST_GUILESS_MAIN(TestIntegrations)
#include "tst_integrations.moc"
