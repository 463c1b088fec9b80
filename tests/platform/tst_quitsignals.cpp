#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <memory>

#include "platform/QuitSignals.h"

using larkspur::QuitSignals;

namespace {

// The handler currently set for `signal`, without changing it.
void (*currentHandler(int signal))(int) {
    struct sigaction action = {};
    ::sigaction(signal, nullptr, &action);
    return action.sa_handler;
}

}  // namespace

class TestQuitSignals : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void raisedSignalArrivesOnEventLoop_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void raisedSignalArrivesOnEventLoop() {
        QFETCH(int, signal);
        QuitSignals quit;
        QVERIFY(quit.install());
        QSignalSpy spy(&quit, &QuitSignals::quitRequested);
        // Without the handler this would end the test process.
        QCOMPARE(::raise(signal), 0);
        QCOMPARE(spy.count(), 0);  // nothing is emitted inside the handler
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), signal);
    }

    void burstKeepsOrder() {
        QuitSignals quit;
        QVERIFY(quit.install());
        QSignalSpy spy(&quit, &QuitSignals::quitRequested);
        ::raise(SIGHUP);
        ::raise(SIGTERM);
        ::raise(SIGINT);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, 2000);
        QCOMPARE(spy.at(0).at(0).toInt(), SIGHUP);
        QCOMPARE(spy.at(1).at(0).toInt(), SIGTERM);
        QCOMPARE(spy.at(2).at(0).toInt(), SIGINT);
    }

    void previousHandlersComeBack() {
        const auto hangUp = ::signal(SIGHUP, SIG_IGN);
        const auto user1 = currentHandler(SIGUSR1);
        {
            QuitSignals quit;
            QVERIFY(quit.install({SIGHUP, SIGUSR1, SIGHUP}));
            QVERIFY(currentHandler(SIGHUP) != SIG_IGN);
            QVERIFY(currentHandler(SIGUSR1) != user1);
        }
        QVERIFY(currentHandler(SIGHUP) == SIG_IGN);
        QVERIFY(currentHandler(SIGUSR1) == user1);
        ::signal(SIGHUP, hangUp);
    }

    void onlyOneInstanceAtATime() {
        auto first = std::make_unique<QuitSignals>();
        QuitSignals second;
        QVERIFY(first->install());
        QVERIFY(!first->install());
        QVERIFY(!second.install());
        QVERIFY(!second.isInstalled());
        first.reset();
        QVERIFY(second.install());
        QSignalSpy spy(&second, &QuitSignals::quitRequested);
        ::raise(SIGTERM);
        QVERIFY(spy.wait(2000));
    }

    void refusedListsChangeNothing_data() {
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("empty") << QList<int>{};
        QTest::newRow("SIGKILL cannot be caught") << QList<int>{SIGTERM, SIGKILL};
        QTest::newRow("SIGSEGV is no quit request") << QList<int>{SIGTERM, SIGSEGV};
        QTest::newRow("zero") << QList<int>{0};
        QTest::newRow("negative") << QList<int>{-1};
        QTest::newRow("out of range") << QList<int>{SIGTERM, 999};
    }
    void refusedListsChangeNothing() {
        QFETCH(QList<int>, numbers);
        const auto before = currentHandler(SIGTERM);
        QuitSignals quit;
        QVERIFY(!quit.install(numbers));
        QVERIFY(!quit.isInstalled());
        QVERIFY(currentHandler(SIGTERM) == before);
        // A refusal leaves the slot free.
        QVERIFY(quit.install({SIGTERM}));
    }

    void receiverMayDeleteSender() {
        const auto before = currentHandler(SIGINT);
        auto* quit = new QuitSignals;
        QVERIFY(quit->install());
        int calls = 0;
        connect(quit, &QuitSignals::quitRequested, this, [&calls, quit] {
            ++calls;
            delete quit;
        });
        QPointer<QuitSignals> watched(quit);
        ::raise(SIGINT);
        ::raise(SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), 2000);
        QCOMPARE(calls, 1);
        QVERIFY(currentHandler(SIGINT) == before);
    }
};

QTEST_GUILESS_MAIN(TestQuitSignals)
#include "tst_quitsignals.moc"
