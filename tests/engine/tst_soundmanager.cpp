#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

#include "engine/SoundManager.h"
#include "support/FakeAudioPlayer.h"
#include "support/StdoutCapture.h"
#include "support/TempStorage.h"

using namespace larkspur;
using namespace larkspur::test;

namespace {
constexpr int kEndless = AudioPlayer::kEndless;

// What `action` printed. Checks come after, or their failure messages would be captured too.
template <class Action>
QString printedBy(Action&& action) {
    StdoutCapture out;
    action();
    return out.text();
}

struct Fixture {
    TempStorage files;
    QTemporaryDir theme;      // stands in for the desktop's sound theme
    QTemporaryDir elsewhere;  // where imported files come from
    FakePlayers players;
    std::unique_ptr<SoundManager> manager;

    Fixture() { launch(); }
    void launch() {
        manager = std::make_unique<SoundManager>(files.storage, players.factory());
        manager->setSystemSoundFolders({theme.path()});
    }
    QString soundsDir() const { return files.storage.directory() + QStringLiteral("/Sounds"); }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void addCustomFile(const QString& fileName, const QByteArray& bytes = "sound") const {
        QDir().mkpath(soundsDir());
        write(soundsDir() + QLatin1Char('/') + fileName, bytes);
    }
    void addSystemSound(const QString& fileName) const {
        write(theme.path() + QLatin1Char('/') + fileName, "theme sound");
    }
    QString source(const QString& fileName, const QByteArray& bytes = "new sound") const {
        const QString path = elsewhere.path() + QLatin1Char('/') + fileName;
        write(path, bytes);
        return path;
    }
    QStringList folder() const {
        return QDir(soundsDir())
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    std::optional<QStringList> stored() const {
        return files.storage.load<QList<QString>>(kCustomSoundsFile);
    }
    void complete(const QString& name, AlertMode mode = AlertMode::OneShot, float volume = 0.8f,
                  const QUuid& owner = {}) {
        manager->play(SoundConfig{name, volume, mode, std::nullopt}, owner);
    }
    // True when the last player plays `fileName` from the theme folder at full volume, once.
    bool lastIsSystemSound(const QString& fileName) const {
        const FakePlayback& p = players.last();
        return p.source == QUrl::fromLocalFile(theme.path() + QLatin1Char('/') + fileName) &&
               p.playing && p.volume == 1.0f && p.plays == 1;
    }
};
}  // namespace

class TestSoundManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithDefaults();
    void loadsStoredList();
    void unreadableListIsEmptyAndReported_data();
    void unreadableListIsEmptyAndReported();

    void customLookupOrder_data();
    void customLookupOrder();
    void builtInSounds_data();
    void builtInSounds();

    void completionVolumeAndPlays_data();
    void completionVolumeAndPlays();
    void repeatedPlaysThreeTimesThenRests();
    void newSoundCutsThePrevious_data();
    void newSoundCutsThePrevious();
    void previewPlaysOnceAtMasterVolume();
    void globalVolume_data();
    void globalVolume();

    void nameFoundNowhere_data();
    void nameFoundNowhere();
    void undecodableFile_data();
    void undecodableFile();
    void systemSoundsAreNotCurrent();
    void customFileDeletedOutside();
    void unsafeNamesReachNoFile_data();
    void unsafeNamesReachNoFile();

    void stopSoundOf_data();
    void stopSoundOf();
    void soundingTimerFollowsThePlayer();

    void importAddsNameOnce();
    void importNaming_data();
    void importNaming();
    void importRefusesWhatItCannotRead_data();
    void importRefusesWhatItCannotRead();
    void failedImportKeepsEarlierFile();
    void importFromUrl_data();
    void importFromUrl();
    void removeDeletesEveryExtension();
    void removeKeepsPlayingAndSaves();
    void removeStaysInsideFolder();
};

void TestSoundManager::startsWithDefaults() {
    Fixture f;
    QCOMPARE(f.manager->globalVolume(), 0.8f);
    QVERIFY(f.manager->customSounds().isEmpty());
    QCOMPARE(SoundManager::bundledSounds(),
             (QStringList{"chime", "bell", "beep", "soft", "alert", "gong"}));
    QVERIFY(!f.manager->isPlaying());
    QCOMPARE(f.players.count(), 0);
    QVERIFY(!QFile::exists(f.files.path(kCustomSoundsFile)));  // nothing written at start
    QCOMPARE(f.manager->customSoundsDir(), f.soundsDir());
    QVERIFY(QFileInfo(f.soundsDir()).isDir());
}

void TestSoundManager::loadsStoredList() {
    Fixture f;
    // Read as it stands: duplicates and names without files are not checked against the folder.
    f.files.write(kCustomSoundsFile, R"(["Alarm","Rain","Alarm"])");
    f.launch();
    QCOMPARE(f.manager->customSounds(), (QStringList{"Alarm", "Rain", "Alarm"}));
    QCOMPARE(f.files.read(kCustomSoundsFile), QByteArray(R"(["Alarm","Rain","Alarm"])"));
}

void TestSoundManager::unreadableListIsEmptyAndReported_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not json") << QByteArray("Alarm");
    QTest::newRow("object") << QByteArray(R"({"Alarm":1})");
    QTest::newRow("number in list") << QByteArray(R"(["Alarm",3])");
    QTest::newRow("null") << QByteArray("null");
    QTest::newRow("cut short") << QByteArray(R"(["Alarm","Ra)");
}

void TestSoundManager::unreadableListIsEmptyAndReported() {
    QFETCH(QByteArray, content);
    Fixture f;
    f.files.write(kCustomSoundsFile, content);
    const QString text = printedBy([&] { f.launch(); });
    QVERIFY(f.manager->customSounds().isEmpty());
    QVERIFY2(text.startsWith("StorageManager load error: "), qPrintable(text));
    QCOMPARE(text.count('\n'), 1);
    // The file is left alone until the list next changes.
    QCOMPARE(f.files.read(kCustomSoundsFile), content);
    QVERIFY(f.manager->importCustomSound(f.source("Rain.wav")));
    QCOMPARE(f.stored(), std::optional<QStringList>(QStringList{"Rain"}));
}

void TestSoundManager::customLookupOrder_data() {
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("played");
    QTest::newRow("all four") << QStringList{"Alarm.aiff", "Alarm.m4a", "Alarm.wav", "Alarm.mp3"}
                              << "Alarm.mp3";
    QTest::newRow("wav before m4a and aiff")
        << QStringList{"Alarm.aiff", "Alarm.m4a", "Alarm.wav"} << "Alarm.wav";
    QTest::newRow("m4a before aiff") << QStringList{"Alarm.aiff", "Alarm.m4a"} << "Alarm.m4a";
    QTest::newRow("aiff alone") << QStringList{"Alarm.aiff"} << "Alarm.aiff";
    QTest::newRow("other extensions are not looked at")
        << QStringList{"Alarm.ogg", "Alarm.aif", "Alarm"} << QString();
    QTest::newRow("extension spelt in capitals") << QStringList{"Alarm.MP3"} << QString();
    QTest::newRow("other letter case of the name") << QStringList{"alarm.mp3"} << QString();
    QTest::newRow("a folder is no file") << QStringList{"Alarm.mp3/", "Alarm.m4a"} << "Alarm.m4a";
    QTest::newRow("custom chime before the built-in one")
        << QStringList{"chime.wav"} << "chime.wav";
}

void TestSoundManager::customLookupOrder() {
    QFETCH(QStringList, present);
    QFETCH(QString, played);
    Fixture f;
    for (const QString& name : present) {
        if (name.endsWith('/'))
            QDir().mkpath(f.soundsDir() + '/' + name);
        else
            f.addCustomFile(name);
    }
    const QString soundName =
        played.isEmpty() ? QStringLiteral("Alarm") : played.section('.', 0, 0);
    const QString expectedPath = played.isEmpty() ? QString() : f.soundsDir() + '/' + played;
    QCOMPARE(f.manager->customSoundPath(soundName), expectedPath);

    f.complete(soundName);
    f.manager->playPreview(soundName);
    if (played.isEmpty()) {
        QCOMPARE(f.players.count(), 0);  // found nowhere, and no such system sound
        return;
    }
    QCOMPARE(f.players.count(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(f.players.at(i).source, QUrl::fromLocalFile(expectedPath));
        QCOMPARE(f.players.at(i).playCalls, 1);
    }
}

void TestSoundManager::builtInSounds_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : SoundManager::bundledSounds())
        QTest::newRow(qPrintable(name)) << name;
}

void TestSoundManager::builtInSounds() {
    QFETCH(QString, name);
    Fixture f;
    f.complete(name);
    QCOMPARE(f.players.count(), 1);
    QCOMPARE(f.players.last().source, QUrl("qrc:/sounds/" + name + ".aiff"));
    QVERIFY(f.players.last().opened);  // the resource is really there
    QVERIFY(f.players.last().playing);
}

void TestSoundManager::completionVolumeAndPlays_data() {
    QTest::addColumn<AlertMode>("mode");
    QTest::addColumn<float>("timerVolume");
    QTest::addColumn<float>("globalVolume");
    QTest::addColumn<float>("volume");
    QTest::addColumn<int>("plays");
    QTest::newRow("defaults") << AlertMode::OneShot << 0.8f << 0.8f << 0.64f << 1;
    QTest::newRow("repeated") << AlertMode::Repeated << 0.8f << 0.8f << 0.64f << 3;
    QTest::newRow("until dismissed")
        << AlertMode::LoopUntilDismissed << 0.8f << 0.8f << 0.64f << kEndless;
    QTest::newRow("full") << AlertMode::OneShot << 1.0f << 1.0f << 1.0f << 1;
    QTest::newRow("master off") << AlertMode::Repeated << 1.0f << 0.0f << 0.0f << 3;
    QTest::newRow("timer off") << AlertMode::OneShot << 0.0f << 0.8f << 0.0f << 1;
    QTest::newRow("half of half") << AlertMode::OneShot << 0.5f << 0.5f << 0.25f << 1;
    QTest::newRow("timer volume above 1 is held at 1")
        << AlertMode::OneShot << 3.0f << 0.8f << 0.8f << 1;
    QTest::newRow("negative timer volume is silence")
        << AlertMode::OneShot << -0.5f << 0.8f << 0.0f << 1;
    QTest::newRow("timer volume not a number is silence")
        << AlertMode::OneShot << std::numeric_limits<float>::quiet_NaN() << 0.8f << 0.0f << 1;
}

void TestSoundManager::completionVolumeAndPlays() {
    QFETCH(AlertMode, mode);
    QFETCH(float, timerVolume);
    QFETCH(float, globalVolume);
    QFETCH(float, volume);
    QFETCH(int, plays);
    Fixture f;
    f.manager->setGlobalVolume(globalVolume);
    f.complete("bell", mode, timerVolume);
    QCOMPARE(f.players.count(), 1);
    QVERIFY(qAbs(f.players.last().volume - volume) < 1e-6f);
    QCOMPARE(f.players.last().plays, plays);
    QCOMPARE(f.players.last().playCalls, 1);
    QVERIFY(f.manager->isPlaying());
}

void TestSoundManager::repeatedPlaysThreeTimesThenRests() {
    Fixture f;
    const QUuid timer = QUuid::createUuid();
    f.complete("bell", AlertMode::Repeated, 0.8f, timer);
    FakeAudioPlayer* player = f.players.lastPlayer();
    for (int done = 1; done <= 2; ++done) {
        player->endOnePlay();
        QVERIFY(f.manager->isPlaying());
        QCOMPARE(f.manager->soundingTimer(), timer);
    }
    player->endOnePlay();
    QCOMPARE(f.players.last().playsDone, 3);
    QVERIFY(!f.manager->isPlaying());
    QVERIFY(f.manager->soundingTimer().isNull());
    // The finished player stays the current one until the next sound; nothing new was made.
    QCOMPARE(f.players.count(), 1);
    QVERIFY(!f.players.last().released);
    f.manager->stop();
    QTRY_VERIFY(f.players.last().released);
}

void TestSoundManager::newSoundCutsThePrevious_data() {
    QTest::addColumn<AlertMode>("firstMode");
    QTest::addColumn<bool>("secondIsPreview");
    QTest::newRow("completion cuts one-shot") << AlertMode::OneShot << false;
    QTest::newRow("completion cuts endless") << AlertMode::LoopUntilDismissed << false;
    QTest::newRow("preview cuts repeated") << AlertMode::Repeated << true;
    QTest::newRow("preview cuts endless") << AlertMode::LoopUntilDismissed << true;
}

void TestSoundManager::newSoundCutsThePrevious() {
    QFETCH(AlertMode, firstMode);
    QFETCH(bool, secondIsPreview);
    Fixture f;
    const QUuid first = QUuid::createUuid();
    const QUuid second = QUuid::createUuid();
    f.complete("gong", firstMode, 0.8f, first);
    QCOMPARE(f.manager->soundingTimer(), first);
    if (secondIsPreview)
        f.manager->playPreview("chime");
    else
        f.complete("chime", AlertMode::OneShot, 0.8f, second);
    QCOMPARE(f.players.count(), 2);
    QVERIFY(!f.players.at(0).playing);
    QVERIFY(f.players.at(0).stopCalls >= 1);
    QVERIFY(f.players.at(1).playing);
    QCOMPARE(f.players.at(1).fileName(), QStringLiteral("chime.aiff"));
    QCOMPARE(f.manager->soundingTimer(), secondIsPreview ? QUuid() : second);
    QTRY_VERIFY(f.players.at(0).released);
    // A late event of the released player changes nothing.
    QVERIFY(f.manager->isPlaying());
}

void TestSoundManager::previewPlaysOnceAtMasterVolume() {
    Fixture f;
    f.manager->setGlobalVolume(0.35f);
    f.manager->playPreview("soft");
    QCOMPARE(f.players.count(), 1);
    QCOMPARE(f.players.last().volume, 0.35f);
    QCOMPARE(f.players.last().plays, 1);
    QVERIFY(f.manager->soundingTimer().isNull());
    // A preview of nothing stops what plays and stays silent.
    f.manager->playPreview("nothing by this name");
    QCOMPARE(f.players.count(), 1);
    QVERIFY(!f.players.last().playing);
    QVERIFY(!f.manager->isPlaying());
}

void TestSoundManager::globalVolume_data() {
    QTest::addColumn<float>("set");
    QTest::addColumn<float>("expected");
    QTest::newRow("within") << 0.35f << 0.35f;
    QTest::newRow("zero") << 0.0f << 0.0f;
    QTest::newRow("one") << 1.0f << 1.0f;
    QTest::newRow("unchanged") << 0.8f << 0.8f;
    QTest::newRow("above") << 1.5f << 1.0f;
    QTest::newRow("below") << -0.2f << 0.0f;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0.8f;
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << 0.8f;
}

void TestSoundManager::globalVolume() {
    QFETCH(float, set);
    QFETCH(float, expected);
    Fixture f;
    f.complete("bell", AlertMode::LoopUntilDismissed, 1.0f);
    QSignalSpy changed(f.manager.get(), &SoundManager::globalVolumeChanged);
    QVERIFY(f.manager->setProperty("globalVolume", set));
    QCOMPARE(f.manager->globalVolume(), expected);
    QCOMPARE(changed.count(), expected == 0.8f ? 0 : 1);
    // The sound already playing keeps the volume it started with.
    QCOMPARE(f.players.last().volume, 0.8f);
}

void TestSoundManager::nameFoundNowhere_data() {
    QTest::addColumn<QStringList>("themeFiles");
    QTest::addColumn<QString>("played");
    QTest::newRow("theme has it") << QStringList{"message.oga"} << "message.oga";
    QTest::newRow("ogg spelling") << QStringList{"message.ogg"} << "message.ogg";
    QTest::newRow("oga preferred") << QStringList{"message.wav", "message.oga"} << "message.oga";
    QTest::newRow("theme lacks it") << QStringList{"bell.oga"} << QString();
}

void TestSoundManager::nameFoundNowhere() {
    QFETCH(QStringList, themeFiles);
    QFETCH(QString, played);
    Fixture f;
    for (const QString& file : themeFiles) f.addSystemSound(file);
    f.manager->setGlobalVolume(0.0f);  // the theme's sound is not under the master volume
    f.complete("message", AlertMode::LoopUntilDismissed, 0.5f, QUuid::createUuid());
    if (played.isEmpty()) {
        QCOMPARE(f.players.count(), 0);
    } else {
        QCOMPARE(f.players.count(), 1);
        QVERIFY(f.lastIsSystemSound(played));
    }
    QVERIFY(!f.manager->isPlaying());
    QVERIFY(f.manager->soundingTimer().isNull());
    // Previews never fall back to the theme.
    f.manager->playPreview("message");
    QCOMPARE(f.players.count(), played.isEmpty() ? 0 : 1);
}

void TestSoundManager::undecodableFile_data() {
    QTest::addColumn<bool>("failsAtOpen");
    QTest::addColumn<bool>("themeHasComplete");
    QTest::newRow("found broken while playing") << false << true;
    QTest::newRow("cannot be opened") << true << true;
    QTest::newRow("no theme sound either") << false << false;
}

void TestSoundManager::undecodableFile() {
    QFETCH(bool, failsAtOpen);
    QFETCH(bool, themeHasComplete);
    Fixture f;
    if (themeHasComplete) f.addSystemSound("complete.oga");
    f.addCustomFile("Broken.wav", "this is not audio");
    const QUuid timer = QUuid::createUuid();
    f.players.refuseNextOpen = failsAtOpen;
    f.complete("Broken", AlertMode::LoopUntilDismissed, 0.8f, timer);
    if (!failsAtOpen) {
        QCOMPARE(f.manager->soundingTimer(), timer);
        f.players.lastPlayer()->breakDown();
    }
    QVERIFY(!f.manager->isPlaying());
    QVERIFY(f.manager->soundingTimer().isNull());
    QCOMPARE(f.players.count(), themeHasComplete ? 2 : 1);
    if (themeHasComplete) QVERIFY(f.lastIsSystemSound("complete.oga"));
    QTRY_VERIFY(f.players.at(0).released);

    // The same file as a preview is silence, with no theme sound.
    f.players.refuseNextOpen = failsAtOpen;
    f.manager->playPreview("Broken");
    const int made = f.players.count();
    if (!failsAtOpen) f.players.lastPlayer()->breakDown();
    QCOMPARE(f.players.count(), made);
    QVERIFY(!f.manager->isPlaying());
}

void TestSoundManager::systemSoundsAreNotCurrent() {
    Fixture f;
    f.addSystemSound("message.oga");
    f.complete("message");
    QCOMPARE(f.players.count(), 1);
    f.manager->stop();
    QVERIFY(f.players.last().playing);  // stop() leaves the theme's sounds alone
    f.complete("bell", AlertMode::Repeated);
    QVERIFY(f.players.at(0).playing);
    QVERIFY(f.players.at(1).playing);
}

void TestSoundManager::customFileDeletedOutside() {
    Fixture f;
    QVERIFY(f.manager->importCustomSound(f.source("message.mp3")));
    QFile::remove(f.soundsDir() + "/message.mp3");
    f.manager->playPreview("message");
    QCOMPARE(f.players.count(), 0);
    f.complete("message");
    QCOMPARE(f.players.count(), 0);
    f.addSystemSound("message.oga");
    f.complete("message");
    QCOMPARE(f.players.count(), 1);
    QVERIFY(f.lastIsSystemSound("message.oga"));
}

void TestSoundManager::unsafeNamesReachNoFile_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("parent folder") << "../secret";
    QTest::newRow("absolute") << "/tmp/secret";
    QTest::newRow("backslash") << "..\\secret";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("empty") << "";
    QTest::newRow("control character") << "sec\nret";
}

void TestSoundManager::unsafeNamesReachNoFile() {
    QFETCH(QString, name);
    Fixture f;
    // Files a careless lookup would reach from the custom folder or the theme folder.
    Fixture::write(f.files.storage.directory() + "/secret.mp3", "outside");
    QDir(f.theme.path()).mkdir("inner");
    f.manager->setSystemSoundFolders({f.theme.path() + "/inner"});
    Fixture::write(f.theme.path() + "/secret.oga", "outside");
    Fixture::write(f.files.storage.directory() + "/..mp3", "outside");
    f.complete(name);
    f.manager->playPreview(name);
    QCOMPARE(f.players.count(), 0);
}

void TestSoundManager::stopSoundOf_data() {
    QTest::addColumn<QString>("asked");  // "owner", "other", "null", or an id spelling
    QTest::addColumn<bool>("stops");
    QTest::newRow("its own timer") << "owner" << true;
    QTest::newRow("another timer") << "other" << false;
    QTest::newRow("no timer") << "null" << false;
    QTest::newRow("text, upper case") << "upper" << true;
    QTest::newRow("text, lower case in braces") << "braces" << true;
    QTest::newRow("text that is no id") << "garbage" << false;
    QTest::newRow("empty text") << "empty" << false;
}

void TestSoundManager::stopSoundOf() {
    QFETCH(QString, asked);
    QFETCH(bool, stops);
    Fixture f;
    const QUuid owner = QUuid::createUuid();
    f.complete("alert", AlertMode::LoopUntilDismissed, 0.8f, owner);
    if (asked == "owner") f.manager->stopSoundOf(owner);
    if (asked == "other") f.manager->stopSoundOf(QUuid::createUuid());
    if (asked == "null") f.manager->stopSoundOf(QUuid());
    if (asked == "upper") f.manager->stopSoundOf(owner.toString(QUuid::WithoutBraces).toUpper());
    if (asked == "braces") f.manager->stopSoundOf(owner.toString().toLower());
    if (asked == "garbage") f.manager->stopSoundOf(QStringLiteral("not-an-id"));
    if (asked == "empty") f.manager->stopSoundOf(QString());
    QCOMPARE(f.players.last().playing, !stops);
    QCOMPARE(f.manager->isPlaying(), !stops);
    QCOMPARE(f.manager->soundingTimer(), stops ? QUuid() : owner);
}

void TestSoundManager::soundingTimerFollowsThePlayer() {
    Fixture f;
    const QUuid a = QUuid::createUuid();
    const QUuid b = QUuid::createUuid();
    QSignalSpy changed(f.manager.get(), &SoundManager::soundingTimerChanged);
    f.complete("bell", AlertMode::LoopUntilDismissed, 0.8f, a);
    QCOMPARE(f.manager->property("soundingTimerId").toString(),
             a.toString(QUuid::WithoutBraces).toUpper());
    // After a preview cut it, the old timer's stop must not end the preview.
    f.manager->playPreview("beep");
    f.manager->stopSoundOf(a);
    QVERIFY(f.players.last().playing);
    QCOMPARE(f.manager->property("soundingTimerId").toString(), QString());
    // Nor may it end a sound of another timer.
    f.complete("bell", AlertMode::LoopUntilDismissed, 0.8f, b);
    f.manager->stopSoundOf(a);
    QVERIFY(f.players.last().playing);
    f.manager->stopSoundOf(b);
    QVERIFY(!f.players.last().playing);
    QCOMPARE(changed.count(), 4);  // a, none, b, none
}

void TestSoundManager::importAddsNameOnce() {
    Fixture f;
    QSignalSpy changed(f.manager.get(), &SoundManager::customSoundsChanged);
    QCOMPARE(f.manager->importCustomSound(f.source("Alarm.mp3", "first")), QString("Alarm"));
    QCOMPARE(f.manager->customSounds(), QStringList{"Alarm"});
    QCOMPARE(f.stored(), std::optional<QStringList>(QStringList{"Alarm"}));
    QCOMPARE(changed.count(), 1);

    // Another file of the same name replaces the stored one; the list stays as it was.
    QFile::remove(f.files.path(kCustomSoundsFile));
    QCOMPARE(f.manager->importCustomSound(f.source("Alarm.mp3", "second")), QString("Alarm"));
    QCOMPARE(Fixture::read(f.soundsDir() + "/Alarm.mp3"), QByteArray("second"));
    QVERIFY(!QFile::exists(f.files.path(kCustomSoundsFile)));  // not rewritten
    QCOMPARE(changed.count(), 1);

    // A WAV of that name joins the folder, but the MP3 is still the one played.
    QCOMPARE(f.manager->importCustomSound(f.source("Alarm.wav")), QString("Alarm"));
    QCOMPARE(f.manager->customSounds(), QStringList{"Alarm"});
    QCOMPARE(f.folder(), (QStringList{"Alarm.mp3", "Alarm.wav"}));
    f.complete("Alarm");
    QCOMPARE(f.players.last().fileName(), QStringLiteral("Alarm.mp3"));

    QCOMPARE(f.manager->importCustomSound(f.source("Rain.m4a")), QString("Rain"));
    QCOMPARE(f.manager->customSounds(), (QStringList{"Alarm", "Rain"}));
    QCOMPARE(f.stored(), std::optional<QStringList>(QStringList{"Alarm", "Rain"}));
    f.launch();
    QCOMPARE(f.manager->customSounds(), (QStringList{"Alarm", "Rain"}));
}

void TestSoundManager::importNaming_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("stored");  // empty: refused
    QTest::newRow("mp3") << "Alarm.mp3"
                         << "Alarm.mp3";
    QTest::newRow("wav in capitals") << "Alarm.WAV"
                                     << "Alarm.wav";
    QTest::newRow("mixed case m4a") << "Alarm.M4a"
                                    << "Alarm.m4a";
    QTest::newRow("aiff") << "Alarm.aiff"
                          << "Alarm.aiff";
    QTest::newRow("dots in the name") << "my.alarm.v2.mp3"
                                      << "my.alarm.v2.mp3";
    QTest::newRow("spaces and accents") << "Réveil doux.wav"
                                        << "Réveil doux.wav";
    QTest::newRow("aif") << "Alarm.aif"
                         << "";
    QTest::newRow("ogg") << "Alarm.ogg"
                         << "";
    QTest::newRow("no extension") << "Alarm"
                                  << "";
    QTest::newRow("audio extension not last") << "Alarm.mp3.txt"
                                              << "";
    QTest::newRow("extension only") << ".mp3"
                                    << "";
    QTest::newRow("name of dots") << "...mp3"
                                  << "";
}

void TestSoundManager::importNaming() {
    QFETCH(QString, fileName);
    QFETCH(QString, stored);
    Fixture f;
    const QString path = f.source(fileName, "audio bytes");
    std::optional<QString> name;
    const QString text = printedBy([&] { name = f.manager->importCustomSound(path); });
    if (stored.isEmpty()) {
        QVERIFY(!name);
        QVERIFY2(text.startsWith("SoundManager import error: ") && text.count('\n') == 1,
                 qPrintable(text));
        QVERIFY(f.folder().isEmpty());
        QVERIFY(f.manager->customSounds().isEmpty());
        QVERIFY(!QFile::exists(f.files.path(kCustomSoundsFile)));
        return;
    }
    QCOMPARE(text, QString());
    const QString soundName = QFileInfo(stored).completeBaseName();
    QCOMPARE(name, std::optional<QString>(soundName));
    QCOMPARE(f.folder(), QStringList{stored});
    QCOMPARE(Fixture::read(f.soundsDir() + '/' + stored), QByteArray("audio bytes"));
    QCOMPARE(f.manager->customSounds(), QStringList{soundName});
    // Stored so that the lookup finds it.
    f.complete(soundName);
    QCOMPARE(f.players.last().fileName(), stored);
}

void TestSoundManager::importRefusesWhatItCannotRead_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("empty path") << "empty";
    QTest::newRow("unreadable device") << "device";
}

void TestSoundManager::importRefusesWhatItCannotRead() {
    QFETCH(QString, kind);
    Fixture f;
    QString path = f.elsewhere.path() + "/Alarm.mp3";
    if (kind == "folder") QDir().mkpath(path);
    if (kind == "empty") path.clear();
    // A file whose reading fails part-way (reading the start of a process's memory gives EIO).
    if (kind == "device") QVERIFY(QFile::link("/proc/self/mem", path));
    std::optional<QString> name;
    const QString text = printedBy([&] { name = f.manager->importCustomSound(path); });
    QVERIFY(!name);
    QVERIFY2(text.startsWith("SoundManager import error: ") && text.count('\n') == 1,
             qPrintable(text));
    QVERIFY(f.folder().isEmpty());  // no part-written copy is left behind
    QVERIFY(f.manager->customSounds().isEmpty());
}

void TestSoundManager::failedImportKeepsEarlierFile() {
    Fixture f;
    QVERIFY(f.manager->importCustomSound(f.source("Alarm.mp3", "the earlier sound")));
    const QString unreadable = QDir(f.elsewhere.path()).filePath("sub/Alarm.mp3");
    QDir().mkpath(QFileInfo(unreadable).path());
    QVERIFY(QFile::link("/proc/self/mem", unreadable));
    std::optional<QString> name;
    const QString text = printedBy([&] { name = f.manager->importCustomSound(unreadable); });
    QVERIFY(!name);
    QVERIFY(text.startsWith("SoundManager import error: "));
    QCOMPARE(Fixture::read(f.soundsDir() + "/Alarm.mp3"), QByteArray("the earlier sound"));
    QCOMPARE(f.folder(), QStringList{"Alarm.mp3"});
    QCOMPARE(f.manager->customSounds(), QStringList{"Alarm"});
    f.complete("Alarm");
    QCOMPARE(f.players.last().fileName(), QStringLiteral("Alarm.mp3"));
}

void TestSoundManager::importFromUrl_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("file URL") << "file" << true;
    QTest::newRow("web address") << "http" << false;
    QTest::newRow("empty") << "empty" << false;
}

void TestSoundManager::importFromUrl() {
    QFETCH(QString, form);
    QFETCH(bool, accepted);
    Fixture f;
    const QString path = f.source("Chirp.wav");
    QUrl url;
    if (form == "file") url = QUrl::fromLocalFile(path);
    if (form == "http") url = QUrl("http://example.invalid/Chirp.wav");
    QString name;
    bool invoked = false;
    const QString text = printedBy([&] {
        invoked = QMetaObject::invokeMethod(f.manager.get(), "importCustomSoundFrom",
                                            Q_RETURN_ARG(QString, name), Q_ARG(QUrl, url));
    });
    QVERIFY(invoked);
    QCOMPARE(name, accepted ? QStringLiteral("Chirp") : QString());
    QCOMPARE(text.startsWith("SoundManager import error: "), !accepted);
    QCOMPARE(f.folder(), accepted ? QStringList{"Chirp.wav"} : QStringList());
}

void TestSoundManager::removeDeletesEveryExtension() {
    Fixture f;
    for (const char* file : {"Alarm.mp3", "Alarm.wav", "Alarm.m4a", "Rain.mp3"})
        QVERIFY(f.manager->importCustomSound(f.source(file)));
    f.addCustomFile("Alarm.aiff");
    f.addCustomFile("Alarm.ogg");  // not one of ours
    f.addCustomFile("alarm.mp3");  // another name
    QSignalSpy changed(f.manager.get(), &SoundManager::customSoundsChanged);
    f.manager->removeCustomSound("Alarm");
    QCOMPARE(f.manager->customSounds(), QStringList{"Rain"});
    QCOMPARE(f.stored(), std::optional<QStringList>(QStringList{"Rain"}));
    QCOMPARE(f.folder(), (QStringList{"Alarm.ogg", "Rain.mp3", "alarm.mp3"}));
    QCOMPARE(changed.count(), 1);

    // Every entry of the name goes; an unknown name still rewrites the file.
    f.files.write(kCustomSoundsFile, R"(["Rain","Dup","Rain"])");
    f.launch();
    f.manager->removeCustomSound("Rain");
    QCOMPARE(f.manager->customSounds(), QStringList{"Dup"});
    QFile::remove(f.files.path(kCustomSoundsFile));
    f.manager->removeCustomSound("Unknown");
    QCOMPARE(f.stored(), std::optional<QStringList>(QStringList{"Dup"}));
}

void TestSoundManager::removeKeepsPlayingAndSaves() {
    Fixture f;
    QVERIFY(f.manager->importCustomSound(f.source("Alarm.wav")));
    f.complete("Alarm", AlertMode::LoopUntilDismissed);
    f.manager->removeCustomSound("Alarm");
    QVERIFY(f.players.last().playing);
    QVERIFY(f.manager->isPlaying());
    QVERIFY(f.folder().isEmpty());
}

void TestSoundManager::removeStaysInsideFolder() {
    Fixture f;
    const QString outside = f.files.storage.directory() + "/secret.mp3";
    Fixture::write(outside, "keep me");
    f.files.write(kCustomSoundsFile, R"(["../secret"])");
    f.launch();
    f.manager->removeCustomSound("../secret");
    QVERIFY(QFile::exists(outside));
    QVERIFY(f.manager->customSounds().isEmpty());
}

QTEST_GUILESS_MAIN(TestSoundManager)
#include "tst_soundmanager.moc"
