#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>

#include "platform/GlobalHotKeys.h"
#include "support/StdoutCapture.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {

constexpr Qt::KeyboardModifiers kAltShift = Qt::AltModifier | Qt::ShiftModifier;
constexpr xcb_keysym_t kKeysymR = 0x72, kKeysymS = 0x73, kKeysymT = 0x74;
constexpr std::uint16_t kAltShiftMask = XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT;

// A private X server for this test process, on a display number it chooses itself.
class Xvfb {
public:
    bool start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid_ = fork();
        if (pid_ == 0) {
            // Never outlive the test, even when it crashes.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
            // Auto-repeat starts soon, so that holding a key briefly repeats it many times.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset",
                   "-ardelay", "150", "-arinterval", "20", "-screen", "0", "640x480x24",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd pfd{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&pfd, 1, 10'000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return false;
        setenv("DISPLAY", (":" + number).c_str(), 1);
        return true;
    }
    ~Xvfb() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

private:
    pid_t pid_ = -1;
};

// Another X client: holds grabs of its own and reads the server's state.
class OtherClient {
public:
    OtherClient()
        : connection_(xcb_connect(nullptr, nullptr)), symbols_(xcb_key_symbols_alloc(connection_)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~OtherClient() {
        xcb_key_symbols_free(symbols_);
        xcb_disconnect(connection_);
    }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    // True when the server granted the grab of the key with exactly these modifiers.
    bool grab(xcb_keysym_t keysym, std::uint16_t modifiers) {
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols_, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        std::free(codes);
        const auto cookie = xcb_grab_key_checked(connection_, 0, root_, modifiers, code,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
        std::free(error);
        return code != 0 && error == nullptr;
    }
    bool grabAltShiftS(std::uint16_t locks = 0) { return grab(kKeysymS, kAltShiftMask | locks); }
    int keyPressesReceived() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7f) == XCB_KEY_PRESS) ++presses_;
            std::free(event);
        }
        return presses_;
    }
    // The modifier and lock state the server holds now.
    std::uint16_t modifierState() {
        xcb_query_pointer_reply_t* reply =
            xcb_query_pointer_reply(connection_, xcb_query_pointer(connection_, root_), nullptr);
        const std::uint16_t mask = reply ? reply->mask & 0xff : 0;
        std::free(reply);
        return mask;
    }

private:
    xcb_connection_t* connection_;
    xcb_key_symbols_t* symbols_;
    xcb_window_t root_ = 0;
    int presses_ = 0;
};

bool xdotool(const QString& args) {
    return QProcess::execute(QStringLiteral("xdotool"), args.split(u' ')) == 0;
}

QList<quint32> ids(const QSignalSpy& spy) {
    QList<quint32> out;
    for (const QList<QVariant>& call : spy) out.append(call.at(0).toUInt());
    return out;
}

void registerAll(GlobalHotKeys& keys) {
    QCOMPARE(keys.registerHotKey(1, kAltShift | Qt::Key_T), GlobalHotKeys::Result::Registered);
    QCOMPARE(keys.registerHotKey(2, kAltShift | Qt::Key_S), GlobalHotKeys::Result::Registered);
    QCOMPARE(keys.registerHotKey(3, kAltShift | Qt::Key_R), GlobalHotKeys::Result::Registered);
}

}  // namespace

class TestGlobalHotKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void label_data();
    void label();
    void refused_data();
    void refused();
    void pressWithLocks_data();
    void pressWithLocks();
    void pressesInOrder_data();
    void pressesInOrder();
    void heldKeyCountsOnce();
    void takenKeyIsReportedAndSilent();
    void destructionReleasesGrabs();
};

void TestGlobalHotKeys::label_data() {
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("expected");
    QTest::newRow("alt shift s") << (kAltShift | Qt::Key_S) << "Alt+Shift+S";
    QTest::newRow("ctrl f5") << (Qt::ControlModifier | Qt::Key_F5) << "Ctrl+F5";
    QTest::newRow("meta space") << (Qt::MetaModifier | Qt::Key_Space) << "Meta+Space";
}

void TestGlobalHotKeys::label() {
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, expected);
    QCOMPARE(GlobalHotKeys::label(keys), expected);
}

void TestGlobalHotKeys::refused_data() {
    QTest::addColumn<quint32>("id");
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("line");
    QTest::newRow("unsupported key")
        << 9u << (kAltShift | Qt::Key_Escape) << "Hot key Alt+Shift+Esc cannot be registered";
    QTest::newRow("keypad modifier")
        << 9u << (Qt::KeypadModifier | Qt::Key_5) << "Hot key Num+5 cannot be registered";
    QTest::newRow("id in use") << 2u << (kAltShift | Qt::Key_X)
                               << "Hot key Alt+Shift+X cannot be registered";
    QTest::newRow("combination in use")
        << 9u << (kAltShift | Qt::Key_S) << "Hot key Alt+Shift+S cannot be registered";
    // The default map of the X server has no key for F35.
    QTest::newRow("no such key") << 9u << (Qt::ControlModifier | Qt::Key_F35)
                                 << "Hot key Ctrl+F35 has no key on this keyboard";
}

void TestGlobalHotKeys::refused() {
    QFETCH(quint32, id);
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, line);
    GlobalHotKeys hotKeys;
    QVERIFY(hotKeys.isAvailable());
    QCOMPARE(hotKeys.registerHotKey(2, kAltShift | Qt::Key_S), GlobalHotKeys::Result::Registered);
    StdoutCapture out;
    QVERIFY(hotKeys.registerHotKey(id, keys) != GlobalHotKeys::Result::Registered);
    QCOMPARE(out.text(), line + u'\n');
    QCOMPARE(hotKeys.registeredIds(), QList<quint32>{2});
}

void TestGlobalHotKeys::pressWithLocks_data() {
    QTest::addColumn<QString>("locks");  // keys that toggle a lock on, and off again afterwards
    QTest::addColumn<int>("lockBits");   // the lock modifiers the server then holds
    QTest::newRow("no lock") << "" << 0;
    QTest::newRow("NumLock") << "Num_Lock" << int(XCB_MOD_MASK_2);
    QTest::newRow("CapsLock") << "Caps_Lock" << int(XCB_MOD_MASK_LOCK);
    QTest::newRow("both") << "Num_Lock Caps_Lock" << int(XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
}

void TestGlobalHotKeys::pressWithLocks() {
    QFETCH(QString, locks);
    QFETCH(int, lockBits);
    GlobalHotKeys hotKeys;
    registerAll(hotKeys);
    QSignalSpy spy(&hotKeys, &GlobalHotKeys::activated);
    OtherClient observer;
    if (!locks.isEmpty()) QVERIFY(xdotool(QStringLiteral("key ") + locks));
    const auto restore = qScopeGuard([&] {
        if (!locks.isEmpty()) xdotool(QStringLiteral("key ") + locks);
    });
    QCOMPARE(observer.modifierState(), std::uint16_t(lockBits));

    QVERIFY(xdotool(QStringLiteral("key alt+shift+s")));
    QVERIFY(spy.wait(3000));
    QCOMPARE(ids(spy), QList<quint32>{2});
}

void TestGlobalHotKeys::pressesInOrder_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<quint32>>("expected");
    QTest::newRow("t s r") << "alt+shift+t alt+shift+s alt+shift+r" << QList<quint32>{1, 2, 3};
    QTest::newRow("r s t") << "alt+shift+r alt+shift+s alt+shift+t" << QList<quint32>{3, 2, 1};
    QTest::newRow("s s t") << "alt+shift+s alt+shift+s alt+shift+t" << QList<quint32>{2, 2, 1};
    // Other modifiers, or too few, are other combinations.
    QTest::newRow("alt s") << "alt+s alt+shift+r" << QList<quint32>{3};
    QTest::newRow("shift s") << "shift+s alt+shift+r" << QList<quint32>{3};
    QTest::newRow("ctrl alt shift s") << "ctrl+alt+shift+s alt+shift+r" << QList<quint32>{3};
}

void TestGlobalHotKeys::pressesInOrder() {
    QFETCH(QString, keys);
    QFETCH(QList<quint32>, expected);
    GlobalHotKeys hotKeys;
    registerAll(hotKeys);
    QSignalSpy spy(&hotKeys, &GlobalHotKeys::activated);
    QVERIFY(xdotool(QStringLiteral("key ") + keys));
    QTRY_COMPARE(spy.size(), expected.size());
    QCOMPARE(ids(spy), expected);
}

void TestGlobalHotKeys::heldKeyCountsOnce() {
    GlobalHotKeys hotKeys;
    registerAll(hotKeys);
    QSignalSpy spy(&hotKeys, &GlobalHotKeys::activated);
    QVERIFY(xdotool(QStringLiteral("keydown alt+shift+s")));
    // Long enough for a dozen auto-repeated presses at the server's repeat rate.
    QTest::qWait(400);
    QVERIFY(xdotool(QStringLiteral("keyup s shift alt")));
    // Once released, the next press counts again.
    QVERIFY(xdotool(QStringLiteral("key alt+shift+s alt+shift+r")));
    QTRY_COMPARE(spy.size(), 3);
    QCOMPARE(ids(spy), (QList<quint32>{2, 2, 3}));
}

void TestGlobalHotKeys::takenKeyIsReportedAndSilent() {
    OtherClient other;
    QVERIFY(other.grabAltShiftS());
    GlobalHotKeys hotKeys;
    QSignalSpy spy(&hotKeys, &GlobalHotKeys::activated);
    {
        StdoutCapture out;
        QCOMPARE(hotKeys.registerHotKey(2, kAltShift | Qt::Key_S), GlobalHotKeys::Result::Taken);
        QCOMPARE(out.text(), QStringLiteral("Hot key Alt+Shift+S is taken by another program\n"));
        QCOMPARE(hotKeys.registerHotKey(3, kAltShift | Qt::Key_R),
                 GlobalHotKeys::Result::Registered);
        QCOMPARE(out.text().count(u'\n'), 1);
    }
    QCOMPARE(hotKeys.registeredIds(), QList<quint32>{3});

    QVERIFY(xdotool(QStringLiteral("key alt+shift+s alt+shift+r")));
    QVERIFY(spy.wait(3000));
    QCOMPARE(ids(spy), QList<quint32>{3});
    QTRY_COMPARE(other.keyPressesReceived(), 1);  // the press went to the holder

    // No grab with a lock on was kept back either: that press reaches nobody of ours.
    QVERIFY(xdotool(QStringLiteral("key Num_Lock")));
    const auto restore = qScopeGuard([] { xdotool(QStringLiteral("key Num_Lock")); });
    QVERIFY(other.grabAltShiftS(XCB_MOD_MASK_2));
    QVERIFY(xdotool(QStringLiteral("key alt+shift+s alt+shift+r")));
    QTRY_COMPARE(spy.size(), 2);
    QCOMPARE(ids(spy), (QList<quint32>{3, 3}));
    QTRY_COMPARE(other.keyPressesReceived(), 2);
}

void TestGlobalHotKeys::destructionReleasesGrabs() {
    auto hotKeys = std::make_unique<GlobalHotKeys>();
    registerAll(*hotKeys);
    OtherClient other;
    QVERIFY(!other.grabAltShiftS());
    QVERIFY(!other.grabAltShiftS(XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK));
    hotKeys->unregisterAll();
    QVERIFY(hotKeys->registeredIds().isEmpty());
    QVERIFY(other.grabAltShiftS());

    hotKeys = std::make_unique<GlobalHotKeys>();
    QCOMPARE(hotKeys->registerHotKey(1, kAltShift | Qt::Key_T), GlobalHotKeys::Result::Registered);
    QCOMPARE(hotKeys->registerHotKey(3, kAltShift | Qt::Key_R), GlobalHotKeys::Result::Registered);
    hotKeys.reset();
    OtherClient next;
    QVERIFY(next.grab(kKeysymT, kAltShiftMask));
    QVERIFY(next.grab(kKeysymR, kAltShiftMask | XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK));
}

int main(int argc, char** argv) {
    Xvfb server;
    if (!server.start()) {
        std::fputs("tst_globalhotkeys: could not start Xvfb\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Without a session bus, a display would make libdbus start a stray one.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    qputenv("NO_AT_BRIDGE", "1");
    QGuiApplication app(argc, argv);
    TestGlobalHotKeys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_globalhotkeys.moc"
