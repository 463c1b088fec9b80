#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstring>
#include <memory>

#include "platform/SingleInstance.h"

using larkspur::SingleInstance;
using Role = SingleInstance::Role;

namespace {

constexpr int kHandedOver = 0, kBecamePrimary = 3, kFailed = 4;

// Runs a second launch with `args` and returns its exit code, or -1. The event loop keeps
// running meanwhile, so this process can answer as the primary.
int launch(const QStringList& args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(QStringLiteral(LARKSPUR_SINGLEINSTANCE_HELPER), args);
    if (!process.waitForStarted(5000)) return -1;
    if (!finished.wait(15000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QByteArray frame(quint32 length, const QByteArray& payload) {
    QByteArray header(4, '\0');
    qToBigEndian(length, header.data());
    return header + payload;
}

mode_t modeOf(const QString& path) {
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

// A socket file nobody listens on, as a crashed instance leaves behind.
bool makeStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

enum class Folder { Missing, Private, GroupReadable, WorldTraversable, Symlink, File, OtherOwner };

// Puts `kind` at `path`; returns false when this user cannot set it up.
bool makeFolder(Folder kind, const QString& path, const QString& scratch) {
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
        case Folder::Missing:
            return true;
        case Folder::Private:
            return ::mkdir(native.constData(), 0700) == 0;
        case Folder::GroupReadable:
            return ::mkdir(native.constData(), 0700) == 0 && ::chmod(native.constData(), 0750) == 0;
        case Folder::WorldTraversable:
            return ::mkdir(native.constData(), 0700) == 0 && ::chmod(native.constData(), 0711) == 0;
        case Folder::Symlink: {
            const QByteArray target = QFile::encodeName(scratch + QStringLiteral("/target"));
            return ::mkdir(target.constData(), 0700) == 0 &&
                   ::symlink(target.constData(), native.constData()) == 0;
        }
        case Folder::File: {
            QFile file(path);
            return file.open(QIODevice::WriteOnly);
        }
        case Folder::OtherOwner:
            return ::geteuid() == 0 && ::mkdir(native.constData(), 0700) == 0 &&
                   ::chown(native.constData(), 65534, 65534) == 0;
    }
    return false;
}

}  // namespace

Q_DECLARE_METATYPE(Folder)

class TestSingleInstance : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> runtime_;
    QByteArray savedTmp_;

private Q_SLOTS:
    void initTestCase() { savedTmp_ = qgetenv("TMPDIR"); }

    void init() {
        runtime_ = std::make_unique<QTemporaryDir>();
        QVERIFY(runtime_->isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
        qunsetenv("LARKSPUR_HANDOVER_TIMEOUT_MS");
    }

    void cleanup() {
        if (savedTmp_.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", savedTmp_);
        runtime_.reset();
    }

    void primaryListensOnAPrivateSocket() {
        SingleInstance instance;
        QCOMPARE(instance.socketPath(), runtime_->filePath(QStringLiteral("larkspurhollow")));
        QCOMPARE(instance.claim({}), Role::Primary);
        const mode_t mode = modeOf(instance.socketPath());
        QVERIFY(S_ISSOCK(mode));
        QCOMPARE(mode & 0077, mode_t(0));
        QVERIFY(!QFile::exists(instance.lockPath()));
        QCOMPARE(instance.claim({}), Role::Primary);
    }

    void secondLaunchHandsOver_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("received");
        const QStringList one{"larkspurhollow://start?preset=tea"};
        const QStringList three{"larkspurhollow://a", "larkspurhollow://b", "larkspurhollow://c"};
        const QStringList unicode{"larkspurhollow://start?name=Grüner Tee ☕"};
        QTest::newRow("one URL") << one << one;
        QTest::newRow("several, in order") << three << three;
        QTest::newRow("unicode and spaces") << unicode << unicode;
        QTest::newRow("text that is no URL") << QStringList{"hello"} << QStringList{"hello"};
        QTest::newRow("line break inside")
            << QStringList{"a://x\ny", "b://\r\nz"} << QStringList{"a://x y", "b:// z"};
        QTest::newRow("empty arguments") << QStringList{"", "a://1", ""} << QStringList{"a://1"};
        QTest::newRow("no arguments") << QStringList{} << QStringList{};
    }
    void secondLaunchHandsOver() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, received);
        SingleInstance instance;
        QCOMPARE(instance.claim({}), Role::Primary);
        QSignalSpy spy(&instance, &SingleInstance::urlsReceived);
        QCOMPARE(launch(args), kHandedOver);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toStringList(), received);
    }

    void batchesKeepArrivalOrder() {
        SingleInstance instance;
        QCOMPARE(instance.claim({}), Role::Primary);
        QSignalSpy spy(&instance, &SingleInstance::urlsReceived);
        for (const char* url : {"a://1", "a://2", "a://3"})
            QCOMPARE(launch({QString::fromLatin1(url)}), kHandedOver);
        QCOMPARE(spy.count(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(spy.at(i).at(0).toStringList(),
                     QStringList{QStringLiteral("a://%1").arg(i + 1)});
    }

    void leftoverFileIsReplaced_data() {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("nothing") << QString();
        QTest::newRow("stale socket") << QStringLiteral("socket");
        QTest::newRow("plain file") << QStringLiteral("file");
    }
    void leftoverFileIsReplaced() {
        QFETCH(QString, leftover);
        SingleInstance instance;
        if (leftover == u"socket") QVERIFY(makeStaleSocket(instance.socketPath()));
        if (leftover == u"file") QVERIFY(makeFolder(Folder::File, instance.socketPath(), {}));
        QCOMPARE(instance.claim({}), Role::Primary);
        QSignalSpy spy(&instance, &SingleInstance::urlsReceived);
        QCOMPARE(launch({QStringLiteral("a://1")}), kHandedOver);
        QCOMPARE(spy.count(), 1);
    }

    void liveSocketIsNeverTakenOver() {
        // Something answers on the socket but never acknowledges.
        SingleInstance probe;
        QLocalServer mute;
        QVERIFY(mute.listen(probe.socketPath()));
        qputenv("LARKSPUR_HANDOVER_TIMEOUT_MS", "300");
        QCOMPARE(launch({QStringLiteral("a://1")}), kFailed);
        // The socket still leads to the one that was there first.
        QLocalSocket again;
        again.connectToServer(probe.socketPath());
        QVERIFY(again.waitForConnected(1000));
    }

    void lockSerialisesLaunches() {
        SingleInstance probe;
        QLockFile lock(probe.lockPath());
        QVERIFY(lock.tryLock());
        QProcess second;
        QSignalSpy finished(&second, &QProcess::finished);
        second.start(QStringLiteral(LARKSPUR_SINGLEINSTANCE_HELPER), {QStringLiteral("a://1")});
        QVERIFY(second.waitForStarted(5000));
        QVERIFY(!finished.wait(300));  // it waits for the lock
        lock.unlock();
        QVERIFY(finished.wait(10000));
        QCOMPARE(second.exitCode(), kBecamePrimary);
    }

    void badClientsAreDropped_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("silence") << QByteArray();
        QTest::newRow("half a header") << QByteArray("\0\0", 2);
        QTest::newRow("truncated batch") << frame(10, "abc");
        QTest::newRow("oversized length") << frame(1 << 20, QByteArray(100, 'x'));
        QTest::newRow("all ones length") << frame(0xFFFFFFFF, "x");
        QTest::newRow("invalid UTF-8") << frame(3, "a\xff\xfe");
        QTest::newRow("cut UTF-8 sequence") << frame(2, "a\xc3");
        QTest::newRow("NUL inside") << frame(3, QByteArray("a\0b", 3));
        const QByteArray lines = QByteArray("u\n").repeated(SingleInstance::kMaxUrls + 1);
        QTest::newRow("too many lines") << frame(quint32(lines.size()), lines);
    }
    void badClientsAreDropped() {
        QFETCH(QByteArray, bytes);
        SingleInstance instance;
        instance.setTimeout(200);
        QCOMPARE(instance.claim({}), Role::Primary);
        QSignalSpy spy(&instance, &SingleInstance::urlsReceived);
        QLocalSocket client;
        client.connectToServer(instance.socketPath());
        QVERIFY(client.waitForConnected(2000));
        client.write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 3000);
        QVERIFY(!client.readAll().contains(SingleInstance::kAck));
        QCOMPARE(spy.count(), 0);

        // Still serving.
        QLocalSocket good;
        good.connectToServer(instance.socketPath());
        QVERIFY(good.waitForConnected(2000));
        good.write(SingleInstance::encodeBatch({QStringLiteral("a://ok")}));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toStringList(), QStringList{QStringLiteral("a://ok")});
    }

    void batchMayArriveInPieces_data() {
        QTest::addColumn<int>("piece");
        QTest::newRow("byte by byte") << 1;
        QTest::newRow("three bytes") << 3;
        QTest::newRow("whole") << 1000;
    }
    void batchMayArriveInPieces() {
        QFETCH(int, piece);
        SingleInstance instance;
        QCOMPARE(instance.claim({}), Role::Primary);
        QSignalSpy spy(&instance, &SingleInstance::urlsReceived);
        QLocalSocket client;
        client.connectToServer(instance.socketPath());
        QVERIFY(client.waitForConnected(2000));
        const QStringList urls{"a://1", "a://2"};
        const QByteArray bytes = SingleInstance::encodeBatch(urls);
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            client.write(bytes.mid(at, piece));
            client.flush();
            QTest::qWait(2);
        }
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toStringList(), urls);
        QTRY_COMPARE(client.bytesAvailable(), 1);
        QCOMPARE(client.read(1), QByteArray(1, SingleInstance::kAck));
    }

    void silentClientDoesNotBlockOthers() {
        SingleInstance instance;
        instance.setTimeout(10000);
        QCOMPARE(instance.claim({}), Role::Primary);
        QSignalSpy spy(&instance, &SingleInstance::urlsReceived);
        QLocalSocket silent;
        silent.connectToServer(instance.socketPath());
        QVERIFY(silent.waitForConnected(2000));
        QCOMPARE(launch({QStringLiteral("a://1")}), kHandedOver);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(silent.state(), QLocalSocket::ConnectedState);
    }

    void encodingLimits_data() {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<qsizetype>("kept");
        QTest::newRow("at the count limit")
            << QStringList(SingleInstance::kMaxUrls, QStringLiteral("u"))
            << SingleInstance::kMaxUrls;
        QTest::newRow("over the count limit")
            << QStringList(SingleInstance::kMaxUrls + 5, QStringLiteral("u"))
            << SingleInstance::kMaxUrls;
        QTest::newRow("over the size limit")
            << QStringList(3, QString(SingleInstance::kMaxBatchBytes / 2, u'x')) << qsizetype(1);
    }
    void encodingLimits() {
        QFETCH(QStringList, urls);
        QFETCH(qsizetype, kept);
        const QByteArray bytes = SingleInstance::encodeBatch(urls);
        QVERIFY(bytes.size() - 4 <= SingleInstance::kMaxBatchBytes);
        QCOMPARE(qFromBigEndian<quint32>(bytes.constData()), quint32(bytes.size() - 4));
        const auto decoded = SingleInstance::decodeBatch(bytes.mid(4));
        QVERIFY(decoded.has_value());
        QCOMPARE(decoded->size(), kept);
    }

    void privateFolder_data() {
        QTest::addColumn<QByteArray>("runtimeDir");  // null: unset
        QTest::addColumn<Folder>("fallback");
        QTest::addColumn<Role>("role");
        const QByteArray unset, unusable("/nonexistent/runtime");
        QTest::newRow("unset, fresh folder") << unset << Folder::Missing << Role::Primary;
        QTest::newRow("unset, folder ready") << unset << Folder::Private << Role::Primary;
        QTest::newRow("relative") << QByteArray("run") << Folder::Missing << Role::Primary;
        QTest::newRow("unusable") << unusable << Folder::Missing << Role::Primary;
        QTest::newRow("symlink") << unset << Folder::Symlink << Role::Failed;
        QTest::newRow("group readable") << unset << Folder::GroupReadable << Role::Failed;
        QTest::newRow("world traversable") << unset << Folder::WorldTraversable << Role::Failed;
        QTest::newRow("regular file") << unset << Folder::File << Role::Failed;
        QTest::newRow("another user's") << unset << Folder::OtherOwner << Role::Failed;
        QTest::newRow("unusable, folder too open")
            << unusable << Folder::GroupReadable << Role::Failed;
    }
    void privateFolder() {
        QFETCH(QByteArray, runtimeDir);
        QFETCH(Folder, fallback);
        QFETCH(Role, role);
        if (runtimeDir.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtimeDir);
        qputenv("TMPDIR", QFile::encodeName(runtime_->path()));
        const QString folder =
            runtime_->filePath(QStringLiteral("larkspurhollow-%1").arg(::geteuid()));
        if (!makeFolder(fallback, folder, runtime_->path()))
            QSKIP("needs root to give a folder away");
        const mode_t before = modeOf(folder);
        // A fresh folder must not take its mode from the umask.
        const mode_t umaskWas = ::umask(0077 | 0500);
        SingleInstance instance;
        const Role claimed = instance.claim({});
        ::umask(umaskWas);
        QCOMPARE(claimed, role);
        if (role == Role::Primary) {
            QCOMPARE(modeOf(folder) & 07777, mode_t(0700));
            QCOMPARE(instance.socketPath(), folder + QStringLiteral("/larkspurhollow"));
            QVERIFY(S_ISSOCK(modeOf(instance.socketPath())));
        } else {
            QCOMPARE(modeOf(folder), before);  // a refusal changes nothing
        }
    }

    void badServerNames_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("slash") << QStringLiteral("a/b");
        QTest::newRow("dot dot") << QStringLiteral("..");
        QTest::newRow("NUL") << QStringLiteral("a\0b");
        QTest::newRow("too long for a socket") << QString(200, u'n');
    }
    void badServerNames() {
        QFETCH(QString, name);
        SingleInstance instance(name);
        QCOMPARE(instance.claim({QStringLiteral("a://1")}), Role::Failed);
        QCOMPARE(QDir(runtime_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
