// The real player against a private PulseAudio daemon, and without any audio server at all
// (the same tests run a second time with LARKSPUR_NO_AUDIO_SERVER set; see CMakeLists.txt).
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

#include "platform/QtAudioPlayer.h"
#include "platform/ResourceFileCache.h"
#include "support/PrivatePulse.h"
#include "support/WavWriter.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
constexpr int kEndless = AudioPlayer::kEndless;
constexpr double kBeepSeconds = 0.45;  // tools/soundgen

bool withoutServer() {
    return qEnvironmentVariableIsSet("LARKSPUR_NO_AUDIO_SERVER");
}

// QSKIP ends only the function it is written in, so this cannot be a function.
#define NEED_SERVER() \
    if (withoutServer()) QSKIP("checked only with an audio server")

struct Spies {
    explicit Spies(AudioPlayer& p)
        : completed(&p, &AudioPlayer::playCompleted),
          finished(&p, &AudioPlayer::finished),
          failed(&p, &AudioPlayer::failed) {}
    QSignalSpy completed;
    QSignalSpy finished;
    QSignalSpy failed;
};
}  // namespace

class TestQtAudioPlayer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void countsPlays_data();
    void countsPlays();
    void endlessUntilStopped();
    void stopAndPlayAgain();
    void undecodableFileFails_data();
    void undecodableFileFails();
    void refusedAtOpen_data();
    void refusedAtOpen();
    void volumeIsKeptInRange_data();
    void volumeIsKeptInRange();
    void resourcesAreCopiedOnce();
    void noServerFailsAtOnce();

private:
    std::unique_ptr<QtAudioPlayer> player() {
        return std::make_unique<QtAudioPlayer>(cache_.path());
    }

    PrivatePulse pulse_;
    QTemporaryDir cache_;
    QTemporaryDir files_;
};

void TestQtAudioPlayer::initTestCase() {
    if (withoutServer()) return;
    if (!pulse_.start())
        QSKIP(qPrintable("NO SOUND CHECKED: a private PulseAudio daemon cannot run here (" +
                         pulse_.error() + ")"));
}

void TestQtAudioPlayer::countsPlays_data() {
    QTest::addColumn<QUrl>("source");
    QTest::addColumn<int>("plays");
    QTest::newRow("resource, once") << QUrl("qrc:/sounds/beep.aiff") << 1;
    QTest::newRow("resource, three times") << QUrl("qrc:/sounds/beep.aiff") << 3;
    QTest::newRow("wav file, twice") << QUrl("file:tone.wav") << 2;
}

void TestQtAudioPlayer::countsPlays() {
    NEED_SERVER();
    QFETCH(QUrl, source);
    QFETCH(int, plays);
    double seconds = kBeepSeconds;
    if (source.scheme() == "file") {
        const QString path = files_.filePath(source.path());
        QVERIFY(writeFile(path, sineWav(22050, 0.3, 440, 0.5)));
        source = QUrl::fromLocalFile(path);
        seconds = 0.3;
    }
    auto p = player();
    Spies spy(*p);
    QVERIFY(p->open(source));
    p->setVolume(0.5f);
    p->setPlays(plays);
    QElapsedTimer clock;
    clock.start();
    p->play();
    QVERIFY(p->isPlaying());
    QVERIFY(spy.finished.wait(5000 + int(plays * seconds * 1000)));
    // The plays took real time: the audio went out at its own pace.
    QVERIFY(clock.elapsed() >= (plays - 0.5) * seconds * 1000);
    QCOMPARE(spy.completed.count(), plays);
    for (int i = 0; i < plays; ++i) QCOMPARE(spy.completed.at(i).at(0).toInt(), i + 1);
    QCOMPARE(spy.finished.count(), 1);
    QCOMPARE(spy.failed.count(), 0);
    QVERIFY(!p->isPlaying());
    QCOMPARE(p->playsDone(), plays);
    QTest::qWait(300);  // nothing more comes
    QCOMPARE(spy.completed.count(), plays);
}

void TestQtAudioPlayer::endlessUntilStopped() {
    NEED_SERVER();
    auto p = player();
    Spies spy(*p);
    QVERIFY(p->open(QUrl("qrc:/sounds/beep.aiff")));
    p->setPlays(kEndless);
    p->play();
    QTRY_VERIFY_WITH_TIMEOUT(spy.completed.count() >= 3, 10000);
    QVERIFY(p->isPlaying());
    p->stop();
    QVERIFY(!p->isPlaying());
    const auto count = spy.completed.count();
    QTest::qWait(int(kBeepSeconds * 1000) + 200);
    QCOMPARE(spy.completed.count(), count);
    QCOMPARE(spy.finished.count(), 0);
    QCOMPARE(spy.failed.count(), 0);
}

void TestQtAudioPlayer::stopAndPlayAgain() {
    NEED_SERVER();
    auto p = player();
    Spies spy(*p);
    QVERIFY(p->open(QUrl("qrc:/sounds/beep.aiff")));
    p->setPlays(2);
    p->play();
    p->stop();  // before a single pass has gone out
    QTest::qWait(int(kBeepSeconds * 1000) + 200);
    QCOMPARE(spy.completed.count(), 0);
    p->play();  // counting starts over
    QVERIFY(spy.finished.wait(5000));
    QCOMPARE(spy.completed.count(), 2);
    QCOMPARE(spy.completed.at(0).at(0).toInt(), 1);
}

void TestQtAudioPlayer::undecodableFileFails_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("noise named wav") << "noise.wav" << QByteArray(8000, '\x33');
    QTest::newRow("text named aiff") << "note.aiff" << QByteArray("not a sound\n").repeated(40);
    QTest::newRow("empty mp3") << "empty.mp3" << QByteArray();
}

void TestQtAudioPlayer::undecodableFileFails() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    const QString path = files_.filePath(fileName);
    QVERIFY(writeFile(path, bytes));
    auto p = player();
    Spies spy(*p);
    QVERIFY(p->open(QUrl::fromLocalFile(path)));  // found; what it holds is learnt later
    p->setPlays(kEndless);
    p->play();
    QTRY_COMPARE_WITH_TIMEOUT(spy.failed.count(), 1, 10000);
    QVERIFY(!p->isPlaying());
    QCOMPARE(spy.finished.count(), 0);
    QCOMPARE(spy.completed.count(), 0);
    p->play();  // a failed player stays silent
    QVERIFY(!p->isPlaying());
}

void TestQtAudioPlayer::refusedAtOpen_data() {
    QTest::addColumn<QUrl>("source");
    QTest::newRow("missing file") << QUrl::fromLocalFile("/nonexistent/sound.wav");
    QTest::newRow("folder") << QUrl::fromLocalFile(QDir::tempPath());
    QTest::newRow("web address") << QUrl("https://example.invalid/sound.mp3");
    QTest::newRow("missing resource") << QUrl("qrc:/sounds/nothing.aiff");
    QTest::newRow("empty") << QUrl();
}

void TestQtAudioPlayer::refusedAtOpen() {
    QFETCH(QUrl, source);
    auto p = player();
    Spies spy(*p);
    QVERIFY(!p->open(source));
    p->play();
    QVERIFY(!p->isPlaying());
    QTest::qWait(200);
    QCOMPARE(spy.completed.count() + spy.finished.count() + spy.failed.count(), 0);
}

void TestQtAudioPlayer::volumeIsKeptInRange_data() {
    QTest::addColumn<float>("set");
    QTest::addColumn<float>("kept");
    QTest::newRow("within") << 0.64f << 0.64f;
    QTest::newRow("above") << 1.5f << 1.0f;
    QTest::newRow("below") << -1.0f << 0.0f;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0.0f;
}

void TestQtAudioPlayer::volumeIsKeptInRange() {
    QFETCH(float, set);
    QFETCH(float, kept);
    QtAudioPlayer p(cache_.path());
    p.setVolume(set);
    QCOMPARE(p.volume(), kept);
}

void TestQtAudioPlayer::resourcesAreCopiedOnce() {
    QTemporaryDir cache;
    const QUrl resource("qrc:/sounds/chime.aiff");
    const QUrl copy = playableUrl(resource, cache.path());
    QVERIFY(copy.isLocalFile());
    QVERIFY(copy.toLocalFile().startsWith(cache.path()));
    QFile original(":/sounds/chime.aiff");
    QFile copied(copy.toLocalFile());
    QVERIFY(original.open(QIODevice::ReadOnly) && copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), original.readAll());
    const auto modified = QFileInfo(copied).lastModified();
    QCOMPARE(playableUrl(resource, cache.path()), copy);
    QCOMPARE(QFileInfo(copied).lastModified(), modified);
    // A copy removed behind the program's back is made again.
    QVERIFY(QFile::remove(copy.toLocalFile()));
    QCOMPARE(playableUrl(resource, cache.path()), copy);
    QVERIFY(QFile::exists(copy.toLocalFile()));
    // Files are left as they are; without a usable cache folder the resource stays a resource.
    const QUrl file = QUrl::fromLocalFile("/tmp/x.wav");
    QCOMPARE(playableUrl(file, cache.path()), file);
    const QString blocked = cache.filePath("plain-file");
    QVERIFY(writeFile(blocked, "x"));
    QCOMPARE(playableUrl(resource, blocked + "/sounds"), resource);
    QtAudioPlayer p(blocked + "/sounds");
    QVERIFY(!p.open(resource));
}

void TestQtAudioPlayer::noServerFailsAtOnce() {
    if (!withoutServer()) QSKIP("checked only without an audio server");
    auto p = player();
    Spies spy(*p);
    QVERIFY(p->open(QUrl("qrc:/sounds/bell.aiff")));
    p->setPlays(kEndless);
    p->play();
    // Nothing hangs and nothing is counted: there is nowhere to play to.
    QTRY_COMPARE_WITH_TIMEOUT(spy.failed.count(), 1, 10000);
    QVERIFY(!p->isPlaying());
    QCOMPARE(spy.completed.count(), 0);
    QCOMPARE(spy.finished.count(), 0);
}

QTEST_GUILESS_MAIN(TestQtAudioPlayer)
#include "tst_qtaudioplayer.moc"
